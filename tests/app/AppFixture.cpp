#include "AppFixture.h"

#include "CamCoreTesting.h"
#include "Commit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <cstdlib>

// Suites that need more cameras build this file with their own count.
#ifndef APP_TEST_CAMERAS
#define APP_TEST_CAMERAS "2"
#endif

namespace app_test {
namespace {

// Runs before main(), so before the engine and Qt read the variables.
const QString root = [] {
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + "/docscanner-app-XXXXXX");
    const char* made = mkdtemp(pattern.data());
    const QString dir = made != nullptr ? QFile::decodeName(made) : QDir::tempPath();
    setenv("TMPDIR", QFile::encodeName(dir).constData(), 1);
    setenv("CAMCORE_VIRTUAL_CAMERAS", APP_TEST_CAMERAS, 1);
    setenv("CAMCORE_TRACE", QFile::encodeName(dir + "/trace.log").constData(), 1);
    std::atexit([] { QDir(QFile::decodeName(qgetenv("TMPDIR"))).removeRecursively(); });
    return dir;
}();

} // namespace

// The order the file has always been written in; a changed order shows up in every user's diff
// of the file.
const QByteArrayList kWriteOrder =
    QByteArray(
        "DevIndex AudioIndex Resolution Pixtype DPIIndex RotateIndex ScanSize Threshold AutoCrop "
        "Exposure AutoExp JPGQuality WorkPath DelBack RotateAngle NameRule FileNameCount "
        "FileNameNum FileNameStep PrefixName WaterText WaterRed WaterGreen WaterBlue ShowWater "
        "ShowTimeWater HRatio VRatio WaterMode WaterPos WaterAngle OpenSub WaterFontSize "
        "WaterFontFamily UIIndex rval gval bval Opcity LineWidth Language ResizeImage "
        "ResizeImageRatio MultiCapMode CapCount Interval WaterAlpha Dewarp AutoOrient FileFormat "
        "CustomName MergeDirection")
        .split(' ');

QString tempRoot() {
    return root;
}

QString tracePath() {
    return root + "/trace.log";
}

QStringList traceLines() {
    QFile file(tracePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList callsSince(int from) {
    QStringList calls;
    const QStringList lines = traceLines();
    for (int i = from; i < lines.size(); ++i) {
        QString call = lines[i].section(" -> ", 0, 0);
        call.remove(QRegularExpression(", 0x[0-9a-f]+")); // window handles differ per run
        call.remove(QRegularExpression(" \\[.*\\]$"));    // notes of calls without a result
        calls.append(call);
    }
    return calls;
}

QString documentsDir() {
    return testing_support::homeDir() + "/Documents";
}

QString papyraDir() {
    return documentsDir() + "/Papyra";
}

QString settingsFile() {
    return papyraDir() + "/zoconf.ini";
}

void writeSettings(const QByteArray& content) {
    QDir().mkpath(papyraDir());
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArrayList settingsKeys() {
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArrayList keys;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.contains('='))
            keys.append(line.left(line.indexOf('=')));
    return keys;
}

QByteArray settingsValue(const QByteArray& key) {
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

bool waitForCaptures(const MainForm& form) {
    return QTest::qWaitFor([&form] { return form.PagesBehind() == 0; }, 60000);
}

void AppTest::SetUp() {
    QFileInfo papyra(papyraDir());
    if (papyra.isDir())
        QDir(papyraDir()).removeRecursively();
    else
        QFile::remove(papyraDir());
    QFile::remove(commitFilePath());
    for (int n = 0; n < camcore::testing::virtualCameraCount(); ++n)
        camcore::testing::replugVirtualCamera(n);
    m_messages = std::make_unique<testing_support::MessageRecorder>();
}

void AppTest::TearDown() {
    m_messages.reset();
}

std::unique_ptr<MainForm> AppTest::makeForm() {
    auto form = std::make_unique<MainForm>();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return form;
}

} // namespace app_test
