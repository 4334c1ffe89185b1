#include "CommandServer.h"

#include "CommandSocket.h"
#include "common/Owned.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace commands {
namespace {

// A sender has this long from connecting to finishing its text.
constexpr int kClientTimeoutMs = 3000;
// Connections beyond this many at once are closed at once: each may hold a full command.
constexpr std::size_t kMaxClients = 64;

bool makeAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when a program accepts connections at `path` now.
bool answersAt(const sockaddr_un& address) {
    const common::UniqueFd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return probe &&
           ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

} // namespace

struct CommandServer::Client {
    common::UniqueFd fd;
    QSocketNotifier* notifier = nullptr;
    QTimer* timeout = nullptr;
    QByteArray text;

    // A client may go from inside its own notifier's or timer's signal: both are disabled now,
    // before the descriptor closes, and deleted later.
    ~Client() {
        notifier->setEnabled(false);
        notifier->deleteLater();
        timeout->stop();
        timeout->deleteLater();
    }
};

CommandServer::CommandServer(QObject* parent) : QObject(parent) {}

CommandServer::~CommandServer() {
    m_clients.clear();
    delete m_listening; // before its socket closes
    m_fd.reset();
    // A second program may have replaced a file this one could no longer answer at.
    struct stat info {};
    if (!m_path.empty() && ::lstat(m_path.c_str(), &info) == 0 && info.st_ino == m_inode)
        ::unlink(m_path.c_str());
}

bool CommandServer::listen(const std::string& path) {
    sockaddr_un address{};
    if (!makeAddress(path, address)) {
        m_error = path + ": the path is too long for a local socket";
        return false;
    }
    m_error = prepareSocketFolder(path);
    if (!m_error.empty())
        return false;
    if (answersAt(address)) {
        m_error = "another program already receives commands at " + path;
        return false;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            m_error = path + " exists and is not a socket";
            return false;
        }
        ::unlink(path.c_str()); // left by a program that ended without removing it
    }

    common::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::lstat(path.c_str(), &info) != 0 ||
        ::listen(fd.get(), 64) != 0) {
        m_error = path + ": " + std::strerror(errno);
        return false;
    }
    m_fd = std::move(fd);
    m_path = path;
    m_inode = info.st_ino;
    m_listening = new QSocketNotifier(m_fd.get(), QSocketNotifier::Read, this);
    connect(m_listening, &QSocketNotifier::activated, this, &CommandServer::acceptClients);
    return true;
}

void CommandServer::acceptClients() {
    for (;;) {
        common::UniqueFd fd(::accept4(m_fd.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // EAGAIN: all taken; anything else: try again at the next wake-up
        }
        if (peerUid(fd.get()) != static_cast<long>(::getuid()) || m_clients.size() >= kMaxClients)
            continue; // closed unanswered
        const quint64 id = m_nextId++;
        auto client = std::make_unique<Client>();
        client->notifier = new QSocketNotifier(fd.get(), QSocketNotifier::Read, this);
        client->timeout = new QTimer(this);
        client->fd = std::move(fd);
        client->timeout->setSingleShot(true);
        connect(client->notifier, &QSocketNotifier::activated, this,
                [this, id] { readClient(id); });
        connect(client->timeout, &QTimer::timeout, this, [this, id] { drop(id); });
        client->timeout->start(kClientTimeoutMs);
        m_clients.emplace(id, std::move(client));
    }
}

void CommandServer::readClient(quint64 id) {
    const auto found = m_clients.find(id);
    if (found == m_clients.end())
        return;
    Client& client = *found->second;
    char buffer[16 * 1024];
    for (;;) {
        const ssize_t got = ::read(client.fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // more to come
        if (got < 0) {
            drop(id);
            return;
        }
        if (got == 0)
            break; // the sender has finished its text
        client.text.append(buffer, got);
        if (static_cast<std::size_t>(client.text.size()) > kMaxCommandBytes) {
            answer(id, Answer::Ignored);
            return;
        }
    }
    // Carrying the command out may take long (a capture, a prompt): the sender waits for it.
    client.notifier->setEnabled(false);
    client.timeout->stop();
    const QByteArray text = std::exchange(client.text, {});
    // Delivered from the event loop, not from inside this notifier's handler: the receiver may
    // run a nested loop in which further senders are served.
    QMetaObject::invokeMethod(
        this, [this, id, text] { emit received(id, text); }, Qt::QueuedConnection);
}

void CommandServer::answer(quint64 client, Answer answer) {
    const auto found = m_clients.find(client);
    if (found == m_clients.end())
        return;
    const std::string_view line = answer == Answer::Done     ? kAnswerDone
                                  : answer == Answer::Failed ? kAnswerFailed
                                                             : kAnswerIgnored;
    // A fresh socket's buffer takes a line; MSG_NOSIGNAL: a sender that has gone is no error.
    [[maybe_unused]] const ssize_t sent =
        ::send(found->second->fd.get(), line.data(), line.size(), MSG_NOSIGNAL);
    drop(client);
}

void CommandServer::drop(quint64 id) {
    m_clients.erase(id);
}

} // namespace commands
