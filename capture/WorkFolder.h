#pragma once

#include <QByteArray>

class QWidget;
struct Settings;

// The work folder the captures go to, and the folder dialog that changes it. Paths are local
// 8-bit byte strings without a trailing "/".
class WorkFolder {
public:
    WorkFolder(Settings& settings, QWidget* dialogParent);

    const QByteArray& path() const;
    const QByteArray& documentsDir() const { return m_documentsDir; }
    const QByteArray& imageDir() const { return m_imageDir; }
    const QByteArray& recordDir() const { return m_recordDir; }
    // False when the folder could not be made: nothing can be saved then.
    bool usable() const;

    // A stored folder that no longer exists (an unplugged drive) falls back to the default,
    // which is also the folder of the settings file.
    void init();
    // Makes `path` the work folder (a folder the user chose and that takes files). Files
    // already in the old folder stay where they are; the next capture goes to the new one.
    void setPath(const QByteArray& path);
    void openDialog();
    void browse();
    void show() const;

private:
    void say(const char* chinese, const char* english) const;
    bool createImageDir();

    Settings& m_settings;
    QWidget* m_dialogParent;
    QByteArray m_documentsDir;
    QByteArray m_imageDir;
    QByteArray m_recordDir;
};
