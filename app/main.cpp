#include "CommandLine.h"
#include "MainForm.h"
#include "Skins.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <optional>

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

// Desktops match the window to the installed menu entry and show the entry's icon; in the build
// tree no icon is installed and the window keeps the platform's default.
void identifyToDesktop(QApplication& application) {
    QGuiApplication::setDesktopFileName(QStringLiteral("docscanner"));
    application.setWindowIcon(QIcon::fromTheme(QStringLiteral("docscanner")));
}

} // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = answerInfoRequest(argc, argv))
        return *status;
    preferX11();
    QApplication application(argc, argv);
    installDefaultSkin(application);
    identifyToDesktop(application);
    auto* form = new MainForm; // shows itself
    application.exec();
    // The destructor closes the cameras, then writes the settings.
    delete form;
    return 0;
}
