#pragma once

#include "Settings.h"

#include <utility>

// Which engine camera plays the main role and which the sub role, and what the features that
// work on "the main camera" need to know of them. The main camera's index and resolution entry
// are the stored DevIndex and Resolution; the sub camera's are chosen anew at each start.
class CameraRoles {
public:
    explicit CameraRoles(Settings& settings) : m_settings(settings) {}
    CameraRoles(const CameraRoles&) = delete;
    CameraRoles& operator=(const CameraRoles&) = delete;

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

private:
    Settings& m_settings;
    int m_sub = 1;
    int m_subResolution = 0;
    bool m_lost = false;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
};
