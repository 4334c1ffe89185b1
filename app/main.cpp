#include "ZoApi.h"

#include <QApplication>
#include <QMainWindow>

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
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Document scanner"));
    window.resize(1024, 700);
    auto* preview = new QWidget(&window);
    window.setCentralWidget(preview);
    window.show();

    ZoInit();
    if (ZoGetCameraCount() > 0)
        ZoOpenCamera(0, static_cast<ZoWindow>(preview->winId()));
    const int result = application.exec();
    ZoCloseCamera(0);
    return result;
}
