#pragma once

#include "CommandSocket.h"
#include "common/Owned.h"

#include <QByteArray>
#include <QObject>

#include <map>
#include <memory>
#include <string>

class QSocketNotifier;

namespace commands {

// The local socket other programs send commands to. One command per connection: the sender
// writes its text and shuts its side for writing; the server answers one line once the command
// has been carried out (answer()) and closes the connection. Everything runs on the thread that
// owns the server through socket notifiers, so a slow or hostile sender never blocks it: a
// command of more than kMaxCommandBytes, a sender of another user and a sender that writes
// nothing for a while are dropped without a command.
class CommandServer final : public QObject {
    Q_OBJECT
public:
    explicit CommandServer(QObject* parent = nullptr);
    ~CommandServer() override;

    // Listens at `path`. False, with the reason in error(), when the folder is not private, or
    // another program already answers there; a socket file left by a program that ended
    // without removing it is replaced.
    bool listen(const std::string& path);
    const std::string& error() const { return m_error; }

    // Answers a command received() reported and closes its connection; nothing when the sender
    // has gone meanwhile.
    void answer(quint64 client, Answer answer);

signals:
    void received(quint64 client, const QByteArray& text);

private:
    struct Client;
    void acceptClients();
    void readClient(quint64 id);
    void drop(quint64 id);

    common::UniqueFd m_fd; // the listening socket
    std::string m_path;
    std::uint64_t m_inode = 0; // of the socket file this server made; only that one is removed
    QSocketNotifier* m_listening = nullptr;
    std::map<quint64, std::unique_ptr<Client>> m_clients;
    quint64 m_nextId = 1;
    std::string m_error;
};

} // namespace commands
