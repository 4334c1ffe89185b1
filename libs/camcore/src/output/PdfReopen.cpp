#include "output/PdfReopen.h"

#include <QByteArray>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

namespace camcore {
namespace {

// The newest page tree and the trailer close the file; the /Kids list takes about 8 bytes a
// page, so this holds the end of a document of 100 000 pages.
constexpr std::int64_t kTailBytes = std::int64_t{1} << 20;

QByteArray readAt(int fd, std::int64_t offset, std::int64_t size) {
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, bytes.data() + done, static_cast<std::size_t>(size - done),
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {};
        done += got;
    }
    return bytes;
}

} // namespace

std::optional<PdfState> readPdfState(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const std::int64_t length = info.st_size;
    if (readAt(fd, 0, 9) != "%PDF-1.4\n")
        return std::nullopt;
    const std::int64_t tailStart = std::max<std::int64_t>(0, length - kTailBytes);
    const QByteArray tail = readAt(fd, tailStart, length - tailStart);

    // What SectionWriter::finish() ends every update with.
    static const QRegularExpression trailer(
        QStringLiteral("trailer\\n<< /Size (\\d+) /Root 1 0 R(?: /Prev \\d+)? >>\\n"
                       "startxref\\n(\\d+)\\n%%EOF\\n$"));
    const qsizetype trailerAt = tail.lastIndexOf("trailer\n");
    if (trailerAt < 0)
        return std::nullopt;
    const QRegularExpressionMatch end = trailer.match(QString::fromLatin1(tail.mid(trailerAt)));
    if (!end.hasMatch())
        return std::nullopt;
    PdfState state;
    state.length = length;
    state.objectCount = end.captured(1).toInt();
    state.lastXref = end.captured(2).toLongLong();
    if (state.lastXref < tailStart || state.lastXref >= tailStart + trailerAt ||
        tail.mid(static_cast<qsizetype>(state.lastXref - tailStart), 5) != "xref\n")
        return std::nullopt;

    // Every update rewrites the page tree (object 2) with all the pages so far.
    const QByteArray treeStart = "2 0 obj\n<< /Type /Pages /Kids [";
    const qsizetype treeAt = tail.lastIndexOf(treeStart, trailerAt);
    const qsizetype treeEnd = tail.indexOf("\nendobj\n", treeAt);
    if (treeAt < 0 || treeEnd < 0)
        return std::nullopt;
    static const QRegularExpression tree(QStringLiteral("^([\\d R]*)\\] /Count (\\d+) >>$"));
    const QRegularExpressionMatch kids = tree.match(QString::fromLatin1(
        tail.mid(treeAt + treeStart.size(), treeEnd - treeAt - treeStart.size())));
    if (!kids.hasMatch())
        return std::nullopt;
    static const QRegularExpression reference(QStringLiteral("(\\d+) 0 R"));
    for (const QRegularExpressionMatch& kid : reference.globalMatch(kids.captured(1)))
        state.pages.push_back(kid.captured(1).toInt());
    if (state.pages.empty() || static_cast<int>(state.pages.size()) != kids.captured(2).toInt() ||
        state.pages.back() >= state.objectCount)
        return std::nullopt;
    return state;
}

} // namespace camcore
