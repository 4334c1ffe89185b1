// Starts the program's main window, shows each tab in each language and saves what the X
// server shows of the window (the video is drawn by the engine, which a widget grab misses).
#include "MainForm.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPalette>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

namespace {

void installDefaultSkin(QApplication& application) {
    QFile sheet(QStringLiteral(":/image/chocolate.css"));
    if (sheet.open(QIODevice::ReadOnly))
        application.setStyleSheet(QString::fromLatin1(sheet.readAll()));
    application.setPalette(QPalette(QColor(QStringLiteral("#F0F0F0"))));
}

// Lets the cameras deliver frames and the window repaint.
void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window-screenshots OUTPUT_DIR\n");
        return 2;
    }
    QApplication application(argc, argv);
    installDefaultSkin(application);
    const QString out = QString::fromLocal8Bit(argv[1]);
    auto* form = new MainForm;
    auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    settle(2000);
    int failures = 0;
    for (const auto& [flag, language] : {std::pair{1, "en"}, std::pair{0, "zh"}}) {
        form->applyLanguage(flag);
        for (const auto& [tab, name] : {std::pair{0, "ordinary"}, std::pair{1, "senior"}}) {
            tabs->setCurrentIndex(tab);
            settle(700);
            const QRect frame = form->frameGeometry();
            const QPixmap shot =
                form->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
            const QString path = QStringLiteral("%1/window-%2-%3.png").arg(out, language, name);
            // Three quarters of the size keeps every text legible and the files small.
            if (!shot.scaledToWidth(frame.width() * 3 / 4, Qt::SmoothTransformation)
                     .save(path, "PNG", 9)) {
                std::fprintf(stderr, "window-screenshots: cannot write %s\n", qPrintable(path));
                ++failures;
            } else {
                std::printf("%s\n", qPrintable(path));
            }
        }
    }
    delete form;
    return failures == 0 ? 0 : 1;
}
