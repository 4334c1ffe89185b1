#include "AppFixture.h"

#include "QAboutDlg.h"
#include "QSetUIDlg.h"
#include "Skins.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>

namespace {

using namespace app_test;

template <typename T> QString textOf(QWidget* dialog, const char* name) {
    auto* widget = dialog->findChild<T*>(name);
    if (widget == nullptr)
        return QStringLiteral("<no %1>").arg(name);
    if constexpr (std::is_same_v<T, QGroupBox>)
        return widget->title();
    else
        return widget->text();
}

TEST(ShellDialogs, SkinAndAboutDialogsShowTheirTextsInBothLanguages) {
    QSetUIDlg skins(nullptr);
    skins.applyLanguage(0);
    EXPECT_EQ(skins.windowTitle(), QStringLiteral("界面设置"));
    EXPECT_EQ(textOf<QLabel>(&skins, "label"), QStringLiteral("请点击按钮设置选择相应的界面"));
    skins.applyLanguage(1);
    skins.applyLanguage(2); // no texts for it: keeps the English ones
    EXPECT_EQ(skins.windowTitle(), QStringLiteral("Skin setting"));
    EXPECT_EQ(textOf<QLabel>(&skins, "label"),
              QStringLiteral("Please click on the button to select the appropriate interface."));
    EXPECT_TRUE(skins.findChild<QPushButton*>("pushButtonMGreen")
                    ->styleSheet()
                    .contains(QStringLiteral("rgb(86, 169, 120)")));

    QAboutDlg about;
    about.applyLanguage(0);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于高拍仪软件"));
    EXPECT_EQ(textOf<QLabel>(&about, "label"), QStringLiteral("欢迎使用高拍仪软件"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^版本: \\d+\\.\\d+"))
                    .match(textOf<QLabel>(&about, "label_5"))
                    .hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^更新日期: \\d{8}$"))
                    .match(textOf<QLabel>(&about, "label_9"))
                    .hasMatch());
    about.applyLanguage(1);
    about.applyLanguage(-1);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Document scanner"));
    EXPECT_EQ(textOf<QLabel>(&about, "label"), QStringLiteral("Welcome to Document scanner"));
    EXPECT_TRUE(textOf<QLabel>(&about, "label_5").startsWith(QStringLiteral("Version: ")));
    EXPECT_TRUE(textOf<QLabel>(&about, "label_9").startsWith(QStringLiteral("Update date: ")));

    // The logo is drawn into its square; the link is shown and opens nothing.
    const QImage shown = about.grab().toImage();
    int logoPixels = 0;
    for (int y = 100; y < 200; ++y)
        for (int x = 360; x < 460; ++x)
            logoPixels += shown.pixelColor(x, y).blue() - shown.pixelColor(x, y).red() > 60;
    EXPECT_GT(logoPixels, 1000);
    EXPECT_FALSE(about.findChild<QLabel*>("labelURL_2")->openExternalLinks());
}

class SettingsDialogTest : public AppTest {
protected:
    // Opens the settings dialog from the menu and lets `act` work on it before it closes.
    static void withSettings(MainForm& form, const std::function<void(QDialog*)>& act) {
        QAction* settings = form.findChild<QPushButton*>("btnMenu")->menu()->actions().at(1);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(dialog);
            dialog->close();
        });
        settings->trigger();
    }

    static QStringList resizeCalls(int from) {
        return callsSince(from).filter(QStringLiteral("ZoSetResize("));
    }
};

TEST_F(SettingsDialogTest, TextsFollowTheLanguage) {
    auto form = makeForm();
    for (int language : {1, 0}) {
        form->applyLanguage(language);
        withSettings(*form, [language](QDialog* dialog) {
            const bool zh = language == 0;
            EXPECT_EQ(dialog->windowTitle(),
                      zh ? QStringLiteral("设置") : QStringLiteral("Settings"));
            EXPECT_EQ(textOf<QGroupBox>(dialog, "groupBox"),
                      zh ? QStringLiteral("录像设置") : QStringLiteral("Record settings"));
            EXPECT_EQ(textOf<QLabel>(dialog, "label"),
                      zh ? QStringLiteral("麦克风:") : QStringLiteral("Microphone:"));
            EXPECT_EQ(textOf<QGroupBox>(dialog, "groupBox_2"),
                      zh ? QStringLiteral("缩放设置") : QStringLiteral("Resize"));
            EXPECT_EQ(textOf<QCheckBox>(dialog, "checkBoxResize"),
                      zh ? QStringLiteral("是否缩放") : QStringLiteral("Resize captures"));
            EXPECT_EQ(textOf<QLabel>(dialog, "label_2"),
                      zh ? QStringLiteral("缩放比率:") : QStringLiteral("Ratio:"));
            EXPECT_EQ(textOf<QGroupBox>(dialog, "groupBox_3"),
                      zh ? QStringLiteral("OCR生成结果") : QStringLiteral("OCR results"));
            EXPECT_EQ(textOf<QLabel>(dialog, "label_3"),
                      zh ? QStringLiteral("导出为:") : QStringLiteral("Save as:"));
        });
    }
    // Without a sound input the list stays empty and the box has no borrowed caption.
    withSettings(*form, [this](QDialog* dialog) {
        if (dialog->findChild<QComboBox*>("comboBoxAudio")->count() == 0) {
            ASSERT_FALSE(messages().isEmpty());
            EXPECT_EQ(messages().last(), qMakePair(QString(), QStringLiteral("未发现录音设备!")));
        }
    });
}

// A ratio the engine would refuse is neither stored nor sent: the field says so and the last
// good ratio stays in the dialog's world, the engine's and the settings file's.
TEST_F(SettingsDialogTest, RatioIsReadWithAPointAndRefusedOutsideZeroToTen) {
    auto form = makeForm();
    const int from = traceLines().size();
    withSettings(*form, [](QDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("lineEditResizeRatio");
        auto* resize = dialog->findChild<QCheckBox*>("checkBoxResize");
        EXPECT_EQ(edit->text(), QStringLiteral("1"));
        EXPECT_FALSE(edit->isEnabled());
        resize->click();
        EXPECT_TRUE(edit->isEnabled());
        edit->setText(QStringLiteral("0.75"));
        EXPECT_FALSE(edit->property("invalid").toBool());
        for (const char* bad : {"abc", "0", "-1", "10.5", "0,5", "nan", "inf", ""}) {
            edit->setText(QLatin1String(bad));
            EXPECT_TRUE(edit->property("invalid").toBool()) << bad;
            EXPECT_FALSE(edit->toolTip().isEmpty()) << bad;
        }
        edit->setText(QStringLiteral("10"));
        EXPECT_FALSE(edit->property("invalid").toBool());
        edit->setText(QStringLiteral("zero"));
    });
    const QStringList sent = resizeCalls(from);
    ASSERT_EQ(sent.size(), 3) << sent.join(' ').toStdString(); // the box, 0.75 and 10
    EXPECT_TRUE(sent[1].contains(QStringLiteral("0.75")));
    EXPECT_TRUE(sent[2].contains(QStringLiteral("10")));

    withSettings(*form, [](QDialog* dialog) {
        EXPECT_EQ(dialog->findChild<QLineEdit*>("lineEditResizeRatio")->text(),
                  QStringLiteral("10"));
        // The export choice lasts for the run.
        dialog->findChild<QComboBox*>("comboBoxOCRRes")->setCurrentIndex(1);
    });
    withSettings(*form, [](QDialog* dialog) {
        EXPECT_EQ(dialog->findChild<QComboBox*>("comboBoxOCRRes")->currentText(),
                  QStringLiteral("Excel"));
    });
    form.reset();
    EXPECT_EQ(settingsValue("ResizeImage"), QByteArray("1"));
    EXPECT_EQ(settingsValue("ResizeImageRatio"), QByteArray("10.0000"));
}

} // namespace
