// Starts the program's main window, shows each tab in each language and saves what the X
// server shows of the window (the video is drawn by the engine, which a widget grab misses);
// then opens each of its windows and dialogs as a user would and saves them the same way.
#include "MainForm.h"
#include "PanelItems.h"
#include "QPanel.h"
#include "QVisualizer.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

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

// What the X server shows of the window, at three quarters of its size: every text stays
// legible and the files small.
bool save(QWidget* window, const QString& path) {
    const QRect frame = window->frameGeometry();
    const QPixmap shot =
        window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.scaledToWidth(std::max(1, frame.width() * 3 / 4), Qt::SmoothTransformation)
            .save(path, "PNG", 9)) {
        std::printf("%s\n", qPrintable(path));
        return true;
    }
    std::fprintf(stderr, "window-screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

// A dialog the window waits for: saved while it is open, then closed. A message box it shows
// first (no microphone for the settings) is answered and the dialog behind it taken.
bool saveModal(const std::function<void()>& open, const QString& path) {
    bool saved = false;
    std::function<void()> take = [&] {
        settle(600);
        QWidget* dialog = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            box->accept();
            QTimer::singleShot(0, take);
            return;
        }
        saved = dialog != nullptr && save(dialog, path);
        if (dialog != nullptr)
            dialog->close();
    };
    QTimer::singleShot(0, take);
    open();
    return saved;
}

// A window that stays open beside the main one: saved once it is shown, then hidden.
bool saveShown(const char* name, int waitMs, const QString& path) {
    settle(waitMs);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name) && window->isVisible()) {
            window->raise();
            settle(300);
            const bool saved = save(window, path);
            window->hide();
            return saved;
        }
    std::fprintf(stderr, "window-screenshots: %s did not open\n", name);
    return false;
}

// Every dialog of the program in one language, into OUTPUT_DIR/dialogs/<name>-<language>.png.
int saveDialogs(MainForm& form, const QString& dir, const char* language) {
    const auto path = [&](const char* name) {
        return QStringLiteral("%1/%2-%3.png")
            .arg(dir, QLatin1String(name), QLatin1String(language));
    };
    const auto click = [&](const char* name) {
        form.findChild<QAbstractButton*>(QLatin1String(name))->click();
    };
    QVisualizer* visualizer = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<QVisualizer*>(window))
            visualizer = found;
    const QList<QAction*> menu =
        form.findChild<QPushButton*>(QStringLiteral("btnMenu"))->menu()->actions();
    int failures = 0;
    failures += !saveModal([&] { menu.at(0)->trigger(); }, path("skins"));
    failures += !saveModal([&] { menu.at(1)->trigger(); }, path("settings"));
    failures += !saveModal([&] { menu.at(2)->trigger(); }, path("about"));
    failures += !saveModal([&] { click("pushButtonOpenFolder"); }, path("work-folder"));
    if (visualizer != nullptr) {
        failures +=
            !saveModal([&] { visualizer->panel()->onItem(panel::kLineWidth); }, path("line-width"));
        failures +=
            !saveModal([&] { visualizer->panel()->onItem(panel::kOpacity); }, path("opacity"));
    }
    click("pushButtonAutoScan");
    failures += !saveShown("QMultiCapDialog", 500, path("multi-capture"));
    click("pushBtnWaterMark");
    failures += !saveShown("ProfileName", 500, path("watermark"));
    click("pushButtonReadBarcode");
    failures += !saveShown("QBarcodeResultDlg", 800, path("barcode"));
    click("pushButtonOCR");
    failures += !saveShown("QOCRResultDlg", 8000, path("ocr"));
    return failures;
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
            failures += !save(form, QStringLiteral("%1/window-%2-%3.png").arg(out, language, name));
        }
    }
    const QString dialogs = out + QStringLiteral("/dialogs");
    QDir().mkpath(dialogs);
    for (const auto& [flag, language] : {std::pair{1, "en"}, std::pair{0, "zh"}}) {
        form->applyLanguage(flag);
        failures += saveDialogs(*form, dialogs, language);
    }
    delete form;
    return failures == 0 ? 0 : 1;
}
