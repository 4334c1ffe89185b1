#include "CommandReceiver.h"

#include "CommandServer.h"
#include "CommandSocket.h"
#include "ShowPieceWidget.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScopedValueRollback>

#include <cstdio>

namespace commands {

CommandReceiver::CommandReceiver(Actions actions)
    : m_actions(std::move(actions)), m_window(std::make_unique<ShowPieceWidget>()),
      m_server(std::make_unique<CommandServer>()) {
    m_window->show();
    if (!m_server->listen(commandSocketPath()))
        std::fprintf(stderr, "docscanner: no external commands: %s\n", m_server->error().c_str());
    connect(m_server.get(), &CommandServer::received, this, &CommandReceiver::onReceived);
    // Also when something else ends the program: a command waiting in a nested loop then
    // finds it ending.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_ending = true; });
}

CommandReceiver::~CommandReceiver() = default;

void CommandReceiver::onReceived(quint64 client, const QByteArray& text) {
    const std::optional<Answer> answer =
        m_accepting && !m_ending ? execute(parseCommand(text), client) : Answer::Ignored;
    if (answer)
        m_server->answer(client, *answer); // nothing when it was answered already
}

void CommandReceiver::answerCaptureNow() {
    if (m_captureClient)
        m_server->answer(*std::exchange(m_captureClient, std::nullopt), Answer::Done);
}

std::optional<Answer> CommandReceiver::execute(Command command, quint64 client) {
    switch (command) {
    case Command::RotateRight:
        m_actions.rotateRight();
        return Answer::Done;
    case Command::Capture: {
        // A second request while a capture's prompt waits in a nested loop is refused.
        if (m_capturing || m_actions.captureBusy())
            return Answer::Ignored;
        const QScopedValueRollback capturing(m_capturing, true);
        const QScopedValueRollback<std::optional<quint64>> sender(m_captureClient, client);
        m_actions.capture([receiver = QPointer(this), client](Answer answer) {
            if (receiver)
                receiver->m_server->answer(client, answer);
        });
        return std::nullopt;
    }
    case Command::ZoomIn:
    case Command::ZoomOut:
        if (!m_actions.zoomEnabled())
            return Answer::Ignored;
        (command == Command::ZoomIn ? m_actions.zoomIn : m_actions.zoomOut)();
        return Answer::Done;
    case Command::Exit:
        // exit(), not quit(): a window that refuses to close (a running multi-capture dialog)
        // must not keep the program alive. Every nested loop returns; the normal shutdown follows.
        m_ending = true;
        m_actions.ending();
        QCoreApplication::exit(0);
        return Answer::Done;
    case Command::NoAction:
    case Command::None:
        return Answer::Ignored;
    }
    return Answer::Ignored;
}

} // namespace commands
