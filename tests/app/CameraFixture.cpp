#include "CameraFixture.h"

#include "CamCoreTesting.h"
#include "ZoApi.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QtTest/QTest>

namespace app_test {

std::unique_ptr<MainForm> CameraTest::makeFormWith(int cameras, const QByteArray& settings) {
    for (int n = cameras; n < camcore::testing::virtualCameraCount(); ++n)
        camcore::testing::unplugVirtualCamera(n);
    if (!settings.isEmpty())
        writeSettings("[Zo twain driver param]\n" + settings);
    return makeForm();
}

QComboBox* CameraTest::combo(const MainForm& form, const char* name) {
    return control<QComboBox>(form, name);
}

QAbstractButton* CameraTest::button(const MainForm& form, const char* name) {
    return control<QAbstractButton>(form, name);
}

bool CameraTest::waitForVideo(const MainForm& form) {
    return QTest::qWaitFor([&] {
        VideoRect video;
        ZoGetVideoRectEx(form.mainCamera(), video.left, video.top, video.right, video.bottom);
        return video.isValid();
    });
}

PipRegion CameraTest::expectedRegion(const MainForm& form) {
    VideoRect video;
    ZoGetVideoRectEx(form.mainCamera(), video.left, video.top, video.right, video.bottom);
    return pipRegion(form.previewWidget()->mapToGlobal(QPoint(0, 0)), video, QSize(136, 100));
}

QString callWithWindow(const char* name, int camera, const QWidget* window) {
    return QStringLiteral("%1(%2, 0x%3)")
        .arg(QString::fromLatin1(name))
        .arg(camera)
        .arg(window->winId(), 0, 16);
}

} // namespace app_test
