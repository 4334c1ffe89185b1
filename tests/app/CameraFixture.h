#pragma once

#include "AppFixture.h"
#include "QSmallWidget.h"

#include <QString>

class QAbstractButton;
class QComboBox;

// Helpers for the camera suites: reach the window's controls by name and wait for the engine.
namespace app_test {

class CameraTest : public AppTest {
protected:
    // Builds the window with `cameras` plugged in (the suite has three) and `settings` as the
    // settings file body.
    std::unique_ptr<MainForm> makeFormWith(int cameras, const QByteArray& settings = {});

    template <typename T> T* control(const MainForm& form, const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    QComboBox* combo(const MainForm& form, const char* name);
    QAbstractButton* button(const MainForm& form, const char* name);

    // Waits until the main camera has drawn a frame, so its video rectangle is real.
    static bool waitForVideo(const MainForm& form);
    // The floating window's region as the window computes it from the engine's rectangle.
    static PipRegion expectedRegion(const MainForm& form);
};

// The trace line of a call with a window handle, as the engine writes it.
QString callWithWindow(const char* name, int camera, const QWidget* window);

} // namespace app_test
