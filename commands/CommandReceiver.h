#pragma once

#include "CommandSocket.h"
#include "CommandWords.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class ShowPieceWidget;

namespace commands {

class CommandServer;

// Receives the commands of other programs (see CommandWords.h) and carries them out through the
// actions it is given, the same as the window's buttons. Commands are refused ("ignored") until
// start-up has finished, while a capture's prompt waits for the user, and once the program is
// ending. A capture is answered when its picture is saved ("done") or could not be ("failed").
class CommandReceiver final : public QObject {
    Q_OBJECT
public:
    struct Actions {
        std::function<void()> rotateRight;
        // Takes a picture; `ended` hears how it went, once (maybe before capture returns).
        std::function<void(std::function<void(Answer)> ended)> capture;
        std::function<void()> zoomIn;
        std::function<void()> zoomOut;
        std::function<bool()> captureBusy; // a capture or its prompt is in progress
        std::function<bool()> zoomEnabled; // false while picture-in-picture owns the mouse
        std::function<void()> ending;      // "Exit": what waits for the user is given up
    };

    // Shows the "ShowPiece" window and listens at the command socket; when another program
    // already listens there, says so once on the terminal and goes on without commands.
    explicit CommandReceiver(Actions actions);
    ~CommandReceiver() override;

    // Start-up has finished: commands are carried out from now on. Before, start-up shows modal
    // boxes and a capture would act on a half-built window.
    void startAccepting() { m_accepting = true; }
    // A capture command has done its part and now waits for the user (the merge's prompt
    // between the two shots): its sender is answered now, not when the prompt closes.
    void answerCaptureNow();

private:
    void onReceived(quint64 client, const QByteArray& text);
    // The answer to send now; none when the command answers later itself.
    std::optional<Answer> execute(Command command, quint64 client);

    Actions m_actions;
    std::unique_ptr<ShowPieceWidget> m_window;
    std::unique_ptr<CommandServer> m_server;
    bool m_accepting = false;
    bool m_capturing = false;
    std::optional<quint64> m_captureClient; // the sender of the capture in progress
    bool m_ending = false;
};

} // namespace commands
