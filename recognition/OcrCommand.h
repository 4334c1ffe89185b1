#pragma once

#include <QObject>
#include <QString>
#include <QThread>

class CameraRoles;
class OcrWorker;
class QOCRResultDlg;
struct Settings;

// The OCR button: the main camera's picture is captured to a private file, and its text, read on
// a thread of its own so the preview keeps moving, appears in the result window.
class OcrCommand : public QObject {
public:
    // Points the OCR library at its language models; the recognition engine itself starts on the
    // first recognition.
    static void initLibrary(const QString& programDir);

    OcrCommand(const Settings& settings, const CameraRoles& roles, QOCRResultDlg& dialog);
    // Waits for a recognition that is still running: the library cannot be interrupted.
    ~OcrCommand() override;

    // A press while a recognition runs is refused: it would capture over the picture being read,
    // and the busy cursor already says that the earlier press is being answered.
    void recognise();
    bool running() const { return m_running; }

private:
    void finish(const QString& text);
    // What the result window says when the capture failed for the engine's reason.
    QString noPicture(int reason) const;
    void show(const QString& text);

    const Settings& m_settings;
    const CameraRoles& m_roles;
    QOCRResultDlg& m_dialog;
    QThread m_thread;
    OcrWorker* m_worker;
    bool m_running = false;
};
