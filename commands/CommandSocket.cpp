#include "CommandSocket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace commands {

std::string commandSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/')
        return std::string(runtime) + "/showpiece.sock";
    // A fixed folder, not the per-process temporary one: another program must find it.
    return "/tmp/showpiece-" + std::to_string(::getuid()) + "/showpiece.sock";
}

std::string prepareSocketFolder(const std::string& socketPath) {
    const std::string folder = socketPath.substr(0, socketPath.rfind('/'));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return folder + ": " + std::strerror(errno);
    // lstat: a link planted in /tmp under our folder's name is refused, not followed.
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a directory";
    if (info.st_uid != ::getuid())
        return folder + " belongs to another user";
    if ((info.st_mode & 077) != 0)
        return folder + " is open to other users (it must be mode 0700)";
    return {};
}

long peerUid(int fd) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return -1;
    return static_cast<long>(credentials.uid);
}

} // namespace commands
