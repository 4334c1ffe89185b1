#include "output/PdfDocument.h"

#include "output/AtomicFile.h"
#include "output/PdfImage.h"
#include "output/PdfReopen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace camcore {
namespace {

// Marks working files, so that a later run finds them (and not AtomicFile's temporary files).
const QString kWorkingSuffix = QStringLiteral(".pages");

// `path` with "_2", "_3" before its extension, the first that names nothing yet.
QString freeNameBeside(const QString& path) {
    const QFileInfo info(path);
    const QString stem = info.dir().filePath(info.completeBaseName());
    const QString extension = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    QString free = path;
    for (int n = 2; QFileInfo::exists(free); ++n)
        free = stem + "_" + QString::number(n) + extension;
    return free;
}

} // namespace

void PdfDocument::close() {
    m_asked.clear();
    m_path.clear();
    m_state = {};
    m_checkpoints.clear();
    m_files = {};
    m_current = 0;
    m_lastSection.clear();
}

bool PdfDocument::append(const OutputImage& image, const QString& path) {
    // A picture that cannot be stored does not end the current document.
    const std::optional<PdfImage> page = pdfImageFor(image);
    if (path.isEmpty() || !page)
        return false;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (absolute != m_asked) {
        close();
        m_asked = m_path = absolute;
        resumeLeftDocument();
        if (m_state.pages.empty() && !continueWholeDocument())
            m_path = freeNameBeside(m_path);
    }
    const PdfSection section = appendPage(m_state, *page, image.dpi, image.words);

    const int target = m_state.pages.empty() ? 0 : 1 - m_current;
    if (!prepare(target))
        return false;
    WorkingFile& working = m_files[target];
    const int fd = working.file.fd();
    const std::int64_t before = working.length;
    bool written = true;
    if (working.length < m_state.length) // one update behind: bring it level first
        written = writeAllAt(fd, m_lastSection.constData(),
                             static_cast<std::size_t>(m_lastSection.size()), working.length);
    written = written && writeAllAt(fd, section.bytes.constData(),
                                    static_cast<std::size_t>(section.bytes.size()), m_state.length);
    working.length = section.next.length;
    if (!written || !publish(working)) {
        // Nobody else sees this file (prepare() made sure), so cutting it back restores it.
        if (::ftruncate(fd, static_cast<off_t>(before)) == 0)
            working.length = before;
        else
            working = {};
        return false;
    }
    m_checkpoints.push_back({m_state.length, m_state.lastXref, m_state.objectCount,
                             static_cast<int>(m_state.pages.size())});
    m_state = section.next;
    m_lastSection = section.bytes;
    m_current = target;
    return true;
}

// Each page is an update appended to the file, so the document before a page is the file's
// first bytes up to that update: a copy of them replaces the file. The working file linked at the
// path is not cut back in place: readers of the path may hold it.
bool PdfDocument::removeLastPages(int count) {
    if (count <= 0 || count > static_cast<int>(m_checkpoints.size()) || m_asked.isEmpty())
        return false;
    const Checkpoint back = m_checkpoints[m_checkpoints.size() - count];
    if (back.length == 0) { // every page of a document started here
        if (::unlink(QFile::encodeName(m_path).constData()) != 0 && errno != ENOENT)
            return false;
        close();
        return true;
    }
    WorkingFile shorter;
    shorter.file = SiblingFile::create(m_path, O_RDWR, kWorkingSuffix);
    const WorkingFile& whole = m_files[m_current];
    if (!shorter.file || !whole.file ||
        !copyFileRange(whole.file.fd(), shorter.file.fd(), back.length))
        return false;
    shorter.length = back.length;
    if (!publish(shorter))
        return false;
    m_current = 1 - m_current;
    m_files[m_current] = std::move(shorter);
    m_state.length = back.length;
    m_state.lastXref = back.lastXref;
    m_state.objectCount = back.objectCount;
    m_state.pages.resize(static_cast<std::size_t>(back.pageCount));
    m_checkpoints.resize(m_checkpoints.size() - static_cast<std::size_t>(count));
    // The other working file holds pages that are gone: the next page copies this one instead.
    m_lastSection.clear();
    return true;
}

void PdfDocument::resumeLeftDocument() {
    WorkingFile best;
    for (const QString& name : siblingNames(m_path, kWorkingSuffix)) {
        WorkingFile left{SiblingFile::adopt(name, O_RDWR), 0};
        const std::optional<PdfState> state =
            left.file ? readPdfState(left.file.fd()) : std::nullopt;
        if (!state || state->length <= m_state.length) {
            if (!left.file)
                ::unlink(QFile::encodeName(name).constData());
            continue; // `left` removes its file as it goes
        }
        left.length = state->length;
        m_state = *state;
        best = std::move(left);
    }
    m_files[0] = std::move(best);
    m_current = 0;
    // The other working file is made from this one when the next page needs it; the update
    // that would bring it level is not known, so it is copied whole.
    m_lastSection.clear();
}

// A whole document at the path, such as one this engine wrote and ended before, is continued: its
// pages stay and the next ones are appended. False when something else is there: it is never
// written over.
bool PdfDocument::continueWholeDocument() {
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    const std::optional<PdfState> state = readPdfState(fd);
    WorkingFile copy;
    if (state) {
        copy.file = SiblingFile::create(m_path, O_RDWR, kWorkingSuffix);
        if (copy.file && copyFileRange(fd, copy.file.fd(), state->length))
            copy.length = state->length;
    }
    ::close(fd);
    if (copy.length == 0)
        return false;
    m_state = *state;
    m_files[0] = std::move(copy);
    m_current = 0;
    m_lastSection.clear();
    return true;
}

bool PdfDocument::prepare(int index) {
    WorkingFile& working = m_files[index];
    // At most one update behind the document, and ours alone.
    if (working.file.soleName() && (working.length == m_state.length ||
                                    working.length + m_lastSection.size() == m_state.length))
        return true;
    WorkingFile fresh;
    fresh.file = SiblingFile::create(m_path, O_RDWR, kWorkingSuffix);
    if (!fresh.file)
        return false;
    if (!m_state.pages.empty()) {
        const WorkingFile& whole = m_files[m_current];
        if (!whole.file || !copyFileRange(whole.file.fd(), fresh.file.fd(), m_state.length))
            return false;
        fresh.length = m_state.length;
    }
    working = std::move(fresh);
    return true;
}

bool PdfDocument::publish(const WorkingFile& working) const {
    if (linkIntoPlace(working.file, m_path))
        return true;
    AtomicFile copy(m_path);
    return copy.open() && copy.copyFrom(working.file.fd(), working.length) && copy.commit();
}

} // namespace camcore
