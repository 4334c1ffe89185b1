#include "OcrSave.h"

#include "FileNamer.h"
#include "OcrFiles.h"
#include "OcrPicture.h"
#include "Settings.h"
#include "ThumbnailLibrary.h"
#include "ZoApi.h"
#include "platform/Language.h"

#include <QFileInfo>

namespace {

// The stored choice names the old Excel format; the file is the workbook format every current
// spreadsheet program opens.
QByteArray fileExtension(const QString& choice) {
    if (choice == QLatin1String("xls"))
        return ".xlsx";
    if (choice == QLatin1String("pdf") || choice == QLatin1String("txt"))
        return '.' + choice.toLatin1();
    return ".rtf";
}

// Runs on the writing thread; empty when the file was written.
QString write(const QString& path, const QByteArray& extension, const QString& text,
              const QString& picture, int language) {
    if (extension == ".txt")
        return ocr_files::writeText(path, text);
    if (extension == ".xlsx")
        return ocr_files::writeWorkbook(path, text);
    if (extension == ".rtf")
        return ocr_files::writeRtf(path, text);
    if (picture.isEmpty())
        return platform::text(language, "没有已识别的图像", "there is no page that was read");
    return ZoMakeSearchablePdf(QFile::encodeName(picture).constData(),
                               QFile::encodeName(path).constData(), 0) > 0
               ? QString()
               : platform::text(language, "无法写入该文件", "the file could not be written");
}

} // namespace

OcrSave::OcrSave(const Settings& settings, const QString& extension, FileNamer& namer,
                 ThumbnailLibrary& strip)
    : m_settings(settings), m_extension(extension), m_namer(namer), m_strip(strip) {}

OcrSave::~OcrSave() {
    if (m_thread)
        m_thread->wait();
}

void OcrSave::save(const QString& text) {
    if (running())
        return;
    const int language = m_settings.language;
    const QByteArray extension = fileExtension(m_extension);
    const QString path = QFile::decodeName(m_namer.makeSavePath(extension));
    if (path.isEmpty()) {
        emit finished(
            {}, platform::text(language, "工作目录无法使用", "the work folder cannot be used"));
        return;
    }
    const QString picture = ocr::readPicture();
    m_thread.reset(QThread::create([this, path, extension, text, picture, language] {
        const QString failure = write(path, extension, text, picture, language);
        QMetaObject::invokeMethod(
            this, [this, path, failure] { done(path, failure); }, Qt::QueuedConnection);
    }));
    m_thread->setObjectName(QStringLiteral("ocr-save"));
    m_thread->start();
    emit started();
}

void OcrSave::done(const QString& path, const QString& failure) {
    m_thread->wait();
    m_thread.reset();
    if (failure.isEmpty()) {
        const QString picture = ocr::readPicture();
        m_strip.addImageItemEx(QFile::encodeName(path), QFile::encodeName(picture),
                               QFile::encodeName(QFileInfo(path).fileName()));
    }
    emit finished(path, failure);
}
