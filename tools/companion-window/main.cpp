// Stands in for the scanner driver that waits for the program's hand-over: shows a window
// titled "ZoTwainDriver" and, once asked to close, prints the commit file's paths one a line.
#include "CommitFile.h"

#include <QApplication>
#include <QFile>
#include <QLabel>

#include <cstdio>

int main(int argc, char* argv[]) {
    // The program finds this window through the X server, also on a Wayland desktop.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Waiting for the hand-over; the paths are printed on close."));
    window.setWindowTitle(QStringLiteral("ZoTwainDriver"));
    window.setMargin(24);
    window.show();
    application.exec(); // returns when the window has been closed

    QFile file(commitFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "companion-window: no commit file %s\n",
                     QFile::encodeName(file.fileName()).constData());
        return 1;
    }
    for (const QByteArray& path : commitEntries(file.readAll())) {
        std::fwrite(path.constData(), 1, size_t(path.size()), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}
