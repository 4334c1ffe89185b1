#pragma once

#include "base/Owned.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace camcore {

// A hidden random name beside `path`: "<folder>/.<name>.<8 random characters><suffix>". On the
// path's file system, and not picked up by folder views or the thumbnail strip, as it does not
// end in the extension. The suffix marks files that must be found again.
QString randomSiblingName(const QString& path, const QString& suffix = {});
// The existing names randomSiblingName(path, suffix) can make, with their folder.
QStringList siblingNames(const QString& path, const QString& suffix);

// Random names are retried on a clash, up to a count no honest folder reaches.
inline constexpr int kNameAttempts = 32;

// A file we created under a randomSiblingName(); removed again unless released.
class SiblingFile {
public:
    SiblingFile() = default;
    // Created with O_EXCL (never someone else's file, never through a planted link) and mode
    // 0666 less the umask, like any new file. Invalid when the folder is missing or not
    // writable; `access` is O_WRONLY or O_RDWR.
    static SiblingFile create(const QString& path, int access, const QString& suffix = {});
    // Takes over a sibling file left by an earlier run, named `name`; invalid when it cannot be
    // opened (a symbolic link is not followed).
    static SiblingFile adopt(const QString& name, int access);
    ~SiblingFile() { discard(); }
    SiblingFile(SiblingFile&& other) noexcept
        : m_fd(std::move(other.m_fd)), m_name(std::exchange(other.m_name, QString())) {}
    SiblingFile& operator=(SiblingFile&& other) noexcept;
    SiblingFile(const SiblingFile&) = delete;
    SiblingFile& operator=(const SiblingFile&) = delete;

    explicit operator bool() const { return static_cast<bool>(m_fd); }
    int fd() const { return m_fd.get(); }
    const QString& name() const { return m_name; }
    // True when our name still names the open file and nothing else does: writing to it
    // changes no other file.
    bool soleName() const;
    bool closeFd() { return m_fd.close(); }
    // Forgets the name, for a file renamed into place.
    void release() { m_name.clear(); }
    // Closes the file and removes its name.
    void discard();

private:
    UniqueFd m_fd;
    QString m_name;
};

// Writes all `size` bytes at `offset`, retrying short writes and EINTR.
bool writeAllAt(int fd, const char* data, std::size_t size, std::int64_t offset);

// Copies bytes [0, length) of `from` to the same offsets of `to`.
bool copyFileRange(int from, int to, std::int64_t length);

} // namespace camcore
