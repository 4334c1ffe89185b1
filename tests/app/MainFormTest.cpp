#include "AppFixture.h"

#include "CamCoreTesting.h"
#include "PreferredCamera.h"
#include "ZoApi.h"
#include "platform/Message.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QtTest/QTest>

namespace {

using namespace app_test;

int lastOpenedCamera(int fromLine) {
    int camera = -1;
    for (const QString& call : callsSince(fromLine))
        if (call.startsWith("ZoOpenCamera("))
            camera = call.mid(13).section(')', 0, 0).toInt();
    return camera;
}

TEST_F(AppTest, StartWithoutCameraShowsTheEnglishMessageAndStillOpens) {
    for (int n = 0; n < camcore::testing::virtualCameraCount(); ++n)
        camcore::testing::unplugVirtualCamera(n);
    auto form = makeForm();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0].first, QStringLiteral("Information"));
    EXPECT_EQ(messages()[0].second, QStringLiteral("Please connect the Document scanner!"));
    EXPECT_TRUE(form->cameraLost());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(AppTest, StoredIndexBeyondTheCountOpensTheLastCamera) {
    writeSettings("[Zo twain driver param]\nDevIndex=7\n");
    const int from = traceLines().size();
    auto form = makeForm();
    EXPECT_EQ(form->mainCamera(), 1);
    EXPECT_EQ(lastOpenedCamera(from), 1);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(AppTest, MainCameraOpensIntoThePreviewWithTheStoredValues) {
    writeSettings("[Zo twain driver param]\nDevIndex=1\nResolution=2\nResizeImage=1\n"
                  "ResizeImageRatio=0.5\nShowRatio=0\nRotateAngle=270\n");
    const int from = traceLines().size();
    auto form = makeForm();
    const QString preview =
        QStringLiteral("ZoOpenCamera(1, 0x%1) -> 1").arg(form->previewWidget()->winId(), 0, 16);
    EXPECT_TRUE(traceLines().mid(from).contains(preview));
    const QStringList calls = callsSince(from);
    EXPECT_TRUE(calls.contains("ZoSetDefaultResolution(1, 2)"));
    EXPECT_TRUE(calls.contains("ZoSetResize(1, true, 0.5)"));
    EXPECT_TRUE(calls.contains("ZoSetShowZoomRate(1, false)"));
    EXPECT_TRUE(calls.contains("ZoSetRotate(1, 3)"));
    EXPECT_LT(calls.indexOf("ZoSetDefaultResolution(1, 2)"), calls.indexOf("ZoOpenCamera(1)"));

    form.reset();
    EXPECT_EQ(settingsValue("ResizeImageRatio"), QByteArray("0.5000"));
    EXPECT_EQ(settingsValue("DevIndex"), QByteArray("1"));
}

TEST_F(AppTest, FirstStartUsesStartValuesAndTheFirstCloseWritesEveryKey) {
    ASSERT_FALSE(QFile::exists(settingsFile()));
    auto form = makeForm();
    EXPECT_EQ(form->settings().dpiIndex, 1);
    EXPECT_EQ(form->settings().threshold, 196);
    EXPECT_EQ(form->settings().waterMode, 1);
    EXPECT_EQ(form->settings().waterPos, 2);
    EXPECT_TRUE(form->settings().waterText.isEmpty());
    EXPECT_TRUE(QFileInfo(papyraDir()).isDir()) << "the default work folder is made at start";

    form.reset();
    EXPECT_EQ(settingsKeys(), kWriteOrder);
    EXPECT_EQ(settingsValue("DPIIndex"), QByteArray("1"));
    EXPECT_EQ(settingsValue("Threshold"), QByteArray("196"));
    EXPECT_EQ(settingsValue("WaterMode"), QByteArray("1"));
    EXPECT_EQ(settingsValue("WaterPos"), QByteArray("2"));
    EXPECT_EQ(settingsValue("WaterText"), QByteArray());
    EXPECT_EQ(settingsValue("Language"), QByteArray("1"));
    EXPECT_EQ(settingsValue("WorkPath"), papyraDir().toLocal8Bit());
    EXPECT_EQ(settingsValue("ResizeImageRatio"), QByteArray("1.0000"));
    EXPECT_TRUE(messages().isEmpty());
}

// A fresh Linux account may have no documents folder yet: it is made with the work folder, so the
// first start neither complains nor loses its settings.
TEST_F(AppTest, MissingDocumentsFolderIsCreatedWithTheWorkFolder) {
    ASSERT_TRUE(QDir(documentsDir()).removeRecursively());
    auto form = makeForm();
    EXPECT_TRUE(QFileInfo(papyraDir()).isDir());
    form.reset();
    EXPECT_TRUE(QFile::exists(settingsFile()));
    EXPECT_TRUE(messages().isEmpty());
}

// The settings are written after both cameras were closed, and nothing reaches the engine after.
TEST_F(AppTest, UnwritableFolderAtCloseShowsTheMessageAfterTheCamerasClosed) {
    writeSettings("[Zo twain driver param]\nDevIndex=0\n");
    auto form = makeForm();
    ASSERT_TRUE(QDir(papyraDir()).removeRecursively());
    QFile blocker(papyraDir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QList<QPair<QString, QString>> shown;
    QStringList callsAtMessage;
    const int from = traceLines().size();
    platform::setMessageInterceptor([&](const QString& title, const QString& text) {
        shown.append({title, text});
        callsAtMessage = callsSince(from);
    });
    form.reset();
    platform::setMessageInterceptor({});

    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].first, QStringLiteral("Information"));
    EXPECT_EQ(shown[0].second, QStringLiteral("The settings file could not be written; the "
                                              "settings will not be remembered."));
    ASSERT_GE(callsAtMessage.size(), 2);
    EXPECT_EQ(callsAtMessage.mid(callsAtMessage.size() - 2),
              QStringList({"ZoCloseCamera(0)", "ZoCloseCamera(1)"}));
    EXPECT_EQ(callsSince(from), callsAtMessage);
    EXPECT_TRUE(QFileInfo(papyraDir()).isFile());
}

TEST_F(AppTest, BottomRowHasWiderButtonsInEnglish) {
    auto form = makeForm();
    const auto button = [&](const char* name) {
        return form->findChild<QPushButton*>(QString::fromLatin1(name))->geometry();
    };
    const auto checkRow = [&](int width, int gap, bool centred) {
        const QRect ocr = button("pushButtonOCR");
        const QRect scan = button("pushButtonScan");
        EXPECT_EQ(scan.width(), width);
        EXPECT_EQ(button("pushButtonPrint").left() - ocr.right() - 1, gap);
        EXPECT_EQ(scan.left() - button("pushButtonAutoScan").right() - 1, gap);
        if (centred) {
            EXPECT_LE(std::abs(ocr.left() - (form->width() - 1 - scan.right())), 1);
        }
        EXPECT_EQ(scan.top(), form->height() - 40);
        EXPECT_FALSE(form->findChild<QPushButton*>("pushButtonReadIDCard")->isVisible());
    };
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Document scanner"));
    checkRow(115, 28, true);
    form->resize(1001, 700);
    QCoreApplication::processEvents(); // the window system reports the new size
    checkRow(115, 28, true);

    form->applyLanguage(0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("高拍仪软件"));
    EXPECT_EQ(form->findChild<QPushButton*>("pushButtonScan")->text(), QStringLiteral("拍照"));
    checkRow(85, 17, false); // the narrower Chinese row sits right of centre
    form->applyLanguage(7);  // keeps the texts
    EXPECT_EQ(form->windowTitle(), QStringLiteral("高拍仪软件"));
}

TEST_F(AppTest, DoubleClickOnTheTitleMaximisesAndRestoresTheExactGeometry) {
    auto form = makeForm();
    form->setGeometry(QRect(QPoint(40, 50), form->minimumSize() + QSize(20, 10)));
    const QRect before = form->geometry();
    auto* title = form->findChild<QLabel*>("lab_Title");
    QTest::mouseDClick(title, Qt::LeftButton);
    EXPECT_EQ(form->geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    EXPECT_EQ(form->findChild<QPushButton*>("btnMenu_Max")->text(), QString(QChar(0xF079)));
    QTest::mouseDClick(title, Qt::LeftButton);
    EXPECT_EQ(form->geometry(), before);
    EXPECT_EQ(form->findChild<QPushButton*>("btnMenu_Max")->text(), QString(QChar(0xF096)));
}

TEST_F(AppTest, OnlyTheLeftButtonDragsTheWindow) {
    auto form = makeForm();
    form->move(100, 100);
    const QPoint start = form->pos();
    const QPoint inside(400, 10);
    const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButton button,
                          Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, form->mapToGlobal(local), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &event);
    };
    send(QEvent::MouseButtonPress, inside, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, inside + QPoint(30, 20), Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(form->pos(), start);
    send(QEvent::MouseButtonRelease, inside, Qt::RightButton, Qt::NoButton);

    send(QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, inside + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
    send(QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
}

class PreferredCameraTest : public AppTest {
protected:
    QString conf(const QByteArray& content) {
        const QString path = tempRoot() + "/conf.ini";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }
};

// The virtual cameras identify as products DC01, DC02 of vendor 1209.
TEST_F(PreferredCameraTest, ListChoosesAmongConnectedCameras) {
    ZoInit();
    const int count = ZoGetCameraCount();
    ASSERT_EQ(count, 2);
    EXPECT_EQ(preferredCamera(conf("[cam]\npidvid=0BDA&58B0;DC02&1209\n"), count, 0), 1);
    EXPECT_EQ(preferredCamera(conf("[cam]\npidvid=DC02&1209,DC01&1209\n"), count, 1), 0)
        << "engine order decides, not list order";
    EXPECT_EQ(preferredCamera(conf("[cam]\npidvid=dc02&1209\n"), count, 0), 0)
        << "pairs match case-sensitively";
    EXPECT_EQ(preferredCamera(conf("[cam]\npidvid=1209&DC02\n"), count, 0), 0)
        << "the product comes first";
    EXPECT_EQ(preferredCamera(conf("[cam]\npidvid=&\n"), count, 1), 1);
    EXPECT_EQ(preferredCamera(conf("[cam]\n"), count, 1), 1);
    EXPECT_EQ(preferredCamera(tempRoot() + "/missing.ini", count, 1), 1);
    EXPECT_EQ(
        preferredCamera(conf("[cam]\npidvid=" + QByteArray(190, 'x') + "DC02&1209\n"), count, 0),
        1);
    EXPECT_EQ(
        preferredCamera(conf("[cam]\npidvid=" + QByteArray(191, 'x') + "DC02&1209\n"), count, 0), 0)
        << "the list is cut to 199 bytes";
}

} // namespace
