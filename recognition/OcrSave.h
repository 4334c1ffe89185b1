#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

class FileNamer;
class ThumbnailLibrary;
struct Settings;

// Keeps what OCR read: the results window's text, with the user's edits, goes to a file of the
// format chosen in the settings dialog (Word, Excel, PDF or Txt), named by the naming rule in the
// work folder and listed in the strip unchecked (the companion program takes captures only).
// The PDF is the full-size page that was read, searchable by the words on it; edits reach the
// text formats only. Writing runs on a thread of its own: a PDF reads the page again (a second
// or two).
class OcrSave : public QObject {
    Q_OBJECT

public:
    // `extension` is the settings dialog's choice as it stores it: "rtf", "xls", "pdf" or "txt".
    OcrSave(const Settings& settings, const QString& extension, FileNamer& namer,
            ThumbnailLibrary& strip);
    // Waits for a file still being written.
    ~OcrSave() override;

    // A press while a file is being written is refused; `finished` answers every other.
    void save(const QString& text);
    bool running() const { return m_thread != nullptr; }

signals:
    void started();
    // The file written, or why none was, in the window's language.
    void finished(const QString& path, const QString& failure);

private:
    void done(const QString& path, const QString& failure);

    const Settings& m_settings;
    const QString& m_extension;
    FileNamer& m_namer;
    ThumbnailLibrary& m_strip;
    std::unique_ptr<QThread> m_thread;
};
