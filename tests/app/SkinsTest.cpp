#include "AppFixture.h"

#include "Skins.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTimer>
#include <QtTest/QTest>

#include <algorithm>
#include <functional>

namespace {

using namespace app_test;

const char* const kSheets[] = {"chocolate", "blue", "mgreen", "green", "pink", "brown"};

QByteArray sheet(const QString& name) {
    QFile file(QStringLiteral(":/image/%1.css").arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every test starts as the program does: Fusion, the first skin, the light palette.
class SkinsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        installDefaultSkin(*qApp);
    }

    // The item of the title strip's menu that shows `text`.
    static QAction* menuAction(MainForm& form, const QString& text) {
        for (QAction* action : form.findChild<QPushButton*>("btnMenu")->menu()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    // Triggers the menu item `text` and lets `act` work on the modal dialog it opens.
    static void withDialog(MainForm& form, const QString& text,
                           const std::function<void(QDialog*)>& act) {
        QAction* action = menuAction(form, text);
        ASSERT_NE(action, nullptr) << text.toStdString();
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(dialog);
            if (dialog->isVisible())
                dialog->close();
        });
        action->trigger();
    }

    // A pixel of the capture button's face, left of its text, as the user sees it.
    static QColor buttonFace(MainForm& form) {
        auto* button = form.findChild<QPushButton*>("pushButtonScan");
        const QImage face = button->grab().toImage();
        return face.pixelColor(4, face.height() / 2);
    }
};

TEST_F(SkinsTest, EverySheetIsAsciiWithoutFontsAndDiffersOnlyInItsColours) {
    QByteArray shape;
    for (const char* name : kSheets) {
        SCOPED_TRACE(name);
        const QByteArray text = sheet(QLatin1String(name));
        ASSERT_GT(text.size(), 2000);
        EXPECT_TRUE(
            std::all_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x7F; }));
        EXPECT_FALSE(text.contains("font")) << "no font the system may lack";
        for (const char* selector : {"QWidget#MainForm", "QWidget#widget_title", ".QPushButton {",
                                     "QPushButton#btnMenu_Close:hover", "QMenu::item:selected",
                                     "QSlider::handle", "QScrollBar::add-line:vertical"})
            EXPECT_TRUE(text.contains(selector)) << selector;
        // With every colour blanked out, all sheets are the same.
        QString stripped = QString::fromLatin1(text);
        stripped.remove(QRegularExpression("#[0-9A-Fa-f]{6}|\\b[12]px solid"));
        if (shape.isEmpty())
            shape = stripped.toLatin1();
        EXPECT_EQ(stripped.toLatin1(), shape);
    }
    EXPECT_TRUE(sheet("blue").contains("border: 1px solid #1B89CA;"));
    EXPECT_TRUE(sheet("green").contains("border: 2px solid #38C738;"));
    // Under a sheet the application's style is the sheet's own; the one below it is Fusion.
    qApp->setStyleSheet(QString());
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
}

TEST_F(SkinsTest, SkinChosenInTheDialogRestylesAtOnceAndIsKeptAcrossARestart) {
    auto form = makeForm();
    const QColor grey = buttonFace(*form);
    EXPECT_LT(std::abs(grey.red() - grey.blue()), 12) << "the first skin's grey";

    withDialog(*form, "Change skin", [](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Skin setting"));
        dialog->findChild<QPushButton*>("pushButtonBlue")->click();
    });
    const QColor blue = buttonFace(*form);
    EXPECT_GT(blue.blue() - blue.red(), 60) << "the blue skin's button";
    form.reset();
    EXPECT_EQ(settingsValue("UIIndex"), QByteArray("2"));

    installDefaultSkin(*qApp); // a new start
    form = makeForm();
    EXPECT_EQ(buttonFace(*form), blue);
}

TEST_F(SkinsTest, StoredSkinOutsideTheSixKeepsTheDefaultAndIsWrittenBackUnchanged) {
    writeSettings("[Zo twain driver param]\nUIIndex=9\n");
    auto form = makeForm();
    EXPECT_EQ(qApp->styleSheet().toLatin1(), sheet("chocolate"));
    form.reset();
    EXPECT_EQ(settingsValue("UIIndex"), QByteArray("9"));
}

// The fourth menu item names the other language in that language, switches to it, and the next
// start begins in the language the last one ended in.
TEST_F(SkinsTest, LanguageItemSwitchesBothWaysAndTheLanguageIsKeptAcrossARestart) {
    auto form = makeForm();
    ASSERT_EQ(form->language(), 1);
    QAction* chinese = menuAction(*form, QStringLiteral("中文"));
    ASSERT_NE(chinese, nullptr);
    EXPECT_EQ(form->findChild<QPushButton*>("btnMenu")->menu()->actions().indexOf(chinese), 3);
    chinese->trigger();
    EXPECT_EQ(form->language(), 0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("高拍仪软件"));
    EXPECT_EQ(chinese->text(), QStringLiteral("English"));
    EXPECT_NE(menuAction(*form, QStringLiteral("关于")), nullptr);
    form.reset();
    EXPECT_EQ(settingsValue("Language"), QByteArray("0"));

    form = makeForm();
    EXPECT_EQ(form->language(), 0);
    EXPECT_EQ(form->findChild<QPushButton*>("pushButtonScan")->text(), QStringLiteral("拍照"));
    menuAction(*form, QStringLiteral("English"))->trigger();
    EXPECT_EQ(form->language(), 1);
    EXPECT_EQ(form->findChild<QPushButton*>("pushButtonScan")->text(), QStringLiteral("Capture"));
    EXPECT_NE(menuAction(*form, QStringLiteral("中文")), nullptr);
}

// Three quarters of the size in the 256 colours the picture uses most: the camera's noise no
// longer costs bytes, while texts and the skin's gradients still read.
QImage smallCopy(const QImage& shot) {
    const QImage scaled = shot.convertToFormat(QImage::Format_RGB32)
                              .scaledToWidth(shot.width() * 3 / 4, Qt::SmoothTransformation);
    QHash<QRgb, int> counts;
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x)
            ++counts[scaled.pixel(x, y) & 0xFFF8F8F8];
    QList<QPair<int, QRgb>> ranked;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({it.value(), it.key()});
    std::sort(ranked.begin(), ranked.end(), std::greater<>());
    QList<QRgb> palette;
    for (int i = 0; i < std::min<int>(256, ranked.size()); ++i)
        palette.append(ranked[i].second | 0xFF000000);
    return scaled.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
}

// Not a check: with DOCSCANNER_SCREENSHOT_DIR set, writes the main window in every skin and
// both languages there (docs/skins in the repository).
TEST_F(SkinsTest, Screenshots) {
    const QString dir = qEnvironmentVariable("DOCSCANNER_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "set DOCSCANNER_SCREENSHOT_DIR to write the screenshots";
    ASSERT_TRUE(QDir().mkpath(dir));
    auto form = makeForm();
    auto* preview = form->findChild<QWidget*>("previewWidget");
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QImage shown = preview->grab().toImage();
        return shown.pixelColor(shown.rect().center()) != QColor(Qt::black);
    }));
    for (int language : {0, 1}) {
        form->applyLanguage(language);
        for (int skin = 1; skin <= 6; ++skin) {
            form->applySkin(skin);
            QCoreApplication::processEvents();
            const QImage shot = smallCopy(form->grab().toImage());
            const QString name =
                QStringLiteral("%1/%2-%3.png")
                    .arg(dir, QLatin1String(kSheets[skin - 1]), language == 0 ? "zh" : "en");
            EXPECT_TRUE(shot.save(name)) << name.toStdString();
        }
    }
}

} // namespace
