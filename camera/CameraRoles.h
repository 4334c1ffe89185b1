#pragma once

#include "Settings.h"

#include <QObject>

#include <utility>

// Which engine camera plays the main role and which the sub role, and what the features that
// work on "the main camera" need to know of them. The main camera's index and resolution entry
// are the stored DevIndex and Resolution; the sub camera's are chosen anew at each start.
// Features that keep settings of the main camera follow its signals from the moment they are
// made, so that none is left out when the camera changes.
class CameraRoles final : public QObject {
    Q_OBJECT
public:
    explicit CameraRoles(Settings& settings) : m_settings(settings) {}

    // Another camera took the main role, or the main camera came back: what ran on it ends,
    // then it is sent every setting the window shows.
    void reportMainReplaced() {
        emit mainReplaced();
        emit mainSettingsWanted();
    }
    // The main camera is sent every setting the window shows again.
    void resendMainSettings() { emit mainSettingsWanted(); }
    // A book run takes the main camera's capture switches (true) or gives them back (false).
    void lockCapture(bool locked) { emit captureLocked(locked); }

    int main() const { return m_settings.devIndex; }
    int sub() const { return m_sub; }
    int mainResolution() const { return m_settings.resolution; }
    int subResolution() const { return m_subResolution; }
    // True when no camera was connected at start.
    bool lost() const { return m_lost; }
    // The main camera's frame size of the chosen resolution entry.
    int frameWidth() const { return m_frameWidth; }
    int frameHeight() const { return m_frameHeight; }

    void setMain(int camera) { m_settings.devIndex = camera; }
    void setSub(int camera) { m_sub = camera; }
    void setMainResolution(int entry) { m_settings.resolution = entry; }
    void setSubResolution(int entry) { m_subResolution = entry; }
    void setLost(bool lost) { m_lost = lost; }
    void setFrameSize(int width, int height) {
        m_frameWidth = width;
        m_frameHeight = height;
    }
    // Main and sub exchange roles; each camera keeps its resolution entry.
    void swap() {
        std::swap(m_settings.devIndex, m_sub);
        std::swap(m_settings.resolution, m_subResolution);
    }

signals:
    void mainReplaced();
    void mainSettingsWanted();
    void captureLocked(bool locked);

private:
    Settings& m_settings;
    int m_sub = 1;
    int m_subResolution = 0;
    bool m_lost = false;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
};
