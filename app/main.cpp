#include "MainForm.h"
#include "Skins.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// The program places its own top-level windows, grabs a global key and finds other programs'
// windows, which only X11 allows; on a Wayland desktop it runs through XWayland.
void preferX11() {
    if (std::getenv("QT_QPA_PLATFORM") != nullptr)
        return;
    if (std::getenv("WAYLAND_DISPLAY") != nullptr)
        std::fprintf(stderr, "docscanner: running through XWayland (the xcb platform)\n");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11();
    QApplication application(argc, argv);
    installDefaultSkin(application);
    auto* form = new MainForm; // shows itself
    application.exec();
    // The destructor closes the cameras, then writes the settings.
    delete form;
    return 0;
}
