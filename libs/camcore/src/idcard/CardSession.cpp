#include "idcard/CardSession.h"

#include "idcard/CardImage.h"
#include "idcard/VirtualCardReader.h"
#include "output/AtomicFile.h"
#include "output/JpegMarkers.h"
#include "output/JpegWriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace camcore {
namespace {

constexpr int kJpegQuality = 90;

bool writeJpeg(const QString& path, const QImage& picture, int dpi) {
    QByteArray jpeg = encodeJpeg(picture.convertToFormat(QImage::Format_RGB888), kJpegQuality);
    if (!jpeg.isEmpty() && dpi > 0)
        jpeg = withJfifDensity(byteSpan(jpeg), dpi);
    return !jpeg.isEmpty() && writeFileAtomically(path, jpeg);
}

} // namespace

CardSession& CardSession::instance() {
    static CardSession session;
    return session;
}

// A file whose path was handed out belongs to the caller, who may not have been able to copy it
// anywhere yet (its work folder was full or gone): it stays, and so does the folder holding it.
// Only the files nobody was told of go.
CardSession::~CardSession() {
    const MutexLock lock(m_mutex);
    std::error_code ignored;
    for (const std::string& file : m_unclaimed)
        std::filesystem::remove(file, ignored);
    if (!m_folder.empty())
        std::filesystem::remove(m_folder, ignored); // fails while a handed-out file is there
}

CardReader* CardSession::reader() {
    if (!m_readerChosen) {
        m_readerChosen = true;
        // A driver for a real reader would be chosen here, before the virtual one.
        if (!qEnvironmentVariableIsEmpty("CAMCORE_VIRTUAL_IDCARD"))
            m_reader = std::make_unique<VirtualCardReader>();
    }
    return m_reader.get();
}

bool CardSession::readerPresent() {
    const MutexLock lock(m_mutex);
    if (!m_reader)
        m_readerChosen = false; // a reader may have come since the last look
    return reader() != nullptr;
}

VirtualCardReader* CardSession::virtualReader() {
    const MutexLock lock(m_mutex);
    if (!m_reader)
        m_readerChosen = false; // the variable may have been set since
    // The reader, once made, lives as long as the session: the pointer stays valid.
    return dynamic_cast<VirtualCardReader*>(reader());
}

QString CardSession::newFile(const char* stem) {
    if (m_folder.empty()) {
        QByteArray pattern = QFile::encodeName(QDir::tempPath() + "/camcore-idcard-XXXXXX");
        // mkdtemp makes a new folder of mode 0700 and never reuses one that exists.
        if (::mkdtemp(pattern.data()) == nullptr)
            return {};
        m_folder = pattern.toStdString();
    }
    return QFile::decodeName(QByteArray::fromStdString(m_folder)) +
           QStringLiteral("/%1-%2.jpg").arg(QLatin1String(stem)).arg(++m_files);
}

bool CardSession::read(std::string& note) {
    const MutexLock lock(m_mutex);
    m_card.reset();
    m_headPath.clear();
    CardReader* const cardReader = reader();
    if (cardReader == nullptr) {
        note = "no card reader";
        return false;
    }
    CardReading reading = cardReader->read();
    if (!reading.card) {
        note = reading.error;
        return false;
    }
    const QString head = newFile("head");
    if (head.isEmpty() || !writeJpeg(head, reading.card->photo, 0)) {
        note = "the photo could not be written";
        return false;
    }
    m_card = std::move(reading.card);
    m_headPath = QFile::encodeName(head).toStdString();
    m_unclaimed.insert(m_headPath);
    note.clear();
    return true;
}

std::string CardSession::field(std::string IdCard::*which) const {
    const MutexLock lock(m_mutex);
    return m_card ? (*m_card).*which : std::string();
}

std::string CardSession::headImagePath() {
    const MutexLock lock(m_mutex);
    m_unclaimed.erase(m_headPath);
    return m_headPath;
}

std::string CardSession::makeCardImage(std::string& note) {
    const MutexLock lock(m_mutex);
    if (!m_card) {
        note = "no card read";
        return {};
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        note = "drawing needs a QGuiApplication";
        return {};
    }
    const QString path = newFile("card");
    if (path.isEmpty() || !writeJpeg(path, drawCardPage(*m_card), kCardPageDpi)) {
        note = "the card image could not be written";
        return {};
    }
    note.clear();
    return QFile::encodeName(path).toStdString();
}

} // namespace camcore
