#include "CameraSelection.h"

#include "CameraRoles.h"
#include "PictureInPicture.h"
#include "PreferredCamera.h"
#include "Settings.h"
#include "WindowHandle.h"
#include "platform/Message.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>

namespace {

// The sub camera list holds every camera but the main one, in engine order.
int subEntryCamera(int entry, int mainCamera) {
    return entry < mainCamera ? entry : entry + 1;
}

int subCameraEntry(int camera, int mainCamera) {
    return camera < mainCamera ? camera : camera - 1;
}

QString deviceName(int camera) {
    return QString::fromLocal8Bit(ZoGetDevName(camera));
}

// Two cameras of one model report one name: each such name gets its place among them ("#2"),
// so the lists tell them apart.
QString cameraName(int camera, int count) {
    const QString name = deviceName(camera);
    int same = 0;
    int place = 0;
    for (int i = 0; i < count; ++i)
        if (deviceName(i) == name) {
            ++same;
            if (i <= camera)
                place = same;
        }
    return same > 1 ? QStringLiteral("%1 #%2").arg(name).arg(place) : name;
}

// Refilled without signals: the list shows the stored entry and the camera is not told again.
void fillResolutions(QComboBox* list, int camera, int selected) {
    const QSignalBlocker blocker(list);
    list->clear();
    const int count = ZoGetResCount(camera);
    for (int i = 0; i < count; ++i)
        list->addItem(
            QStringLiteral("%1x%2").arg(ZoGetResWidth(camera, i)).arg(ZoGetResHeight(camera, i)));
    list->setCurrentIndex(selected);
}

} // namespace

CameraSelection::CameraSelection(Settings& settings, CameraRoles& roles, PictureInPicture& pip,
                                 const Widgets& widgets, ZoZoomCallback zoomReported)
    : m_settings(settings), m_roles(roles), m_pip(pip), m_widgets(widgets),
      m_zoomReported(zoomReported) {}

// Runs before the controls are connected, so filling the lists sends nothing.
void CameraSelection::fillCameraLists() {
    const int count = ZoGetCameraCount();
    if (count < 1) {
        m_widgets.subOn->setEnabled(false);
        return;
    }
    if (m_roles.main() >= count)
        m_roles.setMain(count - 1);
    for (int i = 0; i < count; ++i)
        m_widgets.mainList->addItem(cameraName(i, count));
    // Shown as chosen, so that picking another camera and back again both reach the change.
    m_widgets.mainList->setCurrentIndex(m_roles.main());
    if (count < 2) {
        m_widgets.subOn->setEnabled(false);
        return;
    }
    for (int i = 0; i < count; ++i)
        if (i != m_roles.main())
            m_widgets.subList->addItem(cameraName(i, count));
    m_widgets.subOn->setChecked(m_settings.openSub);
    onSubCameraToggled();
}

// Without a camera the window still opens and works; a camera plugged in later is opened then.
void CameraSelection::chooseMainCamera(const QString& preferredCameraFile) {
    const int count = ZoGetCameraCount();
    if (count <= 0) {
        m_roles.setLost(true);
        if (m_settings.language == 0)
            platform::showMessage(QStringLiteral("提示"), QStringLiteral("请连接高拍仪!"));
        else if (m_settings.language == 1)
            platform::showMessage(QStringLiteral("Information"),
                                  QStringLiteral("Please connect the Document scanner!"));
    } else {
        const int listed = m_roles.main();
        m_roles.setMain(preferredCamera(preferredCameraFile, count, listed));
        if (m_roles.main() != listed)
            followPreferredCamera(listed);
    }
    if (count > 0 && m_roles.main() >= count)
        m_roles.setMain(count - 1);
}

// The preferred camera is chosen after the lists were filled and the sub camera was opened: the
// lists follow the choice, and a sub camera that is now the main one hands that role over.
void CameraSelection::followPreferredCamera(int listedMain) {
    {
        const QSignalBlocker blocker(m_widgets.mainList);
        m_widgets.mainList->setCurrentIndex(m_roles.main());
    }
    if (m_widgets.subOn->isChecked() && m_roles.sub() == m_roles.main()) {
        closeWhileRunning(m_roles.sub());
        openSub(listedMain, m_widgets.subPreview);
        configureSub(listedMain);
    }
    fillSubCameraList();
}

void CameraSelection::openMainCamera() {
    const int cam = m_roles.main();
    ZoSetDefaultResolution(cam, m_roles.mainResolution());
    ZoOpenCamera(cam, handleOf(m_widgets.preview));
    ZoSetResize(cam, m_settings.resizeImage, static_cast<float>(m_settings.resizeImageRatio));
    ZoSetShowZoomRate(cam, m_settings.showRatio);
    ZoSetDPI(cam, m_widgets.dpiList->currentText().toInt());
    // The stored resolution entry is the one the camera streams at; the watermark's offsets
    // are pixels of it.
    m_roles.setFrameSize(ZoGetResWidth(cam, m_roles.mainResolution()),
                         ZoGetResHeight(cam, m_roles.mainResolution()));
}

void CameraSelection::closeWhileRunning(int camera) {
    emit cameraClosing(camera);
    ZoCloseCamera(camera);
}

void CameraSelection::closeCameras() {
    ZoCloseCamera(m_roles.main());
    ZoCloseCamera(m_roles.sub());
}

// Rebuilt without signals: a refill would otherwise pass through entry 0 and open that camera
// as the sub camera. While the sub camera is off it becomes the last camera listed.
void CameraSelection::fillSubCameraList() {
    const QSignalBlocker blocker(m_widgets.subList);
    const bool subOn = m_widgets.subOn->isChecked();
    m_widgets.subList->clear();
    const int count = ZoGetCameraCount();
    for (int i = 0; i < count; ++i) {
        if (i == m_roles.main())
            continue;
        m_widgets.subList->addItem(cameraName(i, count));
        if (!subOn)
            m_roles.setSub(i);
    }
    if (subOn)
        m_widgets.subList->setCurrentIndex(subCameraEntry(m_roles.sub(), m_roles.main()));
    else
        showChosenSubResolutions();
}

void CameraSelection::onSubCameraToggled() {
    const bool on = m_widgets.subOn->isChecked();
    for (QWidget* control : m_widgets.subControls) {
        control->setEnabled(on);
        control->setVisible(on);
    }
    if (on) {
        const int entry = m_widgets.subList->currentIndex();
        const int count = ZoGetCameraCount();
        for (int i = 0, n = 0; i < count; ++i) {
            if (i == m_roles.main())
                continue;
            if (n++ != entry)
                continue;
            openSub(i, m_widgets.subPreview);
            configureSub(i);
            // The picture-in-picture box kept its state while the sub camera was off.
            if (m_widgets.inVideo->isChecked())
                m_pip.show();
            break;
        }
    } else {
        closeWhileRunning(m_roles.sub());
        m_pip.subClosed();
    }
    m_settings.openSub = on;
    if (!on)
        showChosenSubResolutions();
}

int CameraSelection::chosenSubCamera() const {
    const int entry = m_widgets.subList->currentIndex();
    return entry < 0 ? -1 : subEntryCamera(entry, m_roles.main());
}

// The entry shown is the one the camera will open at (openSub): its stored entry if it was the
// last sub camera, else its first.
void CameraSelection::showChosenSubResolutions() {
    const int camera = chosenSubCamera();
    if (camera < 0)
        return;
    const bool kept = camera == m_lastSub && m_roles.subResolution() < ZoGetResCount(camera);
    fillResolutions(m_widgets.subResolutions, camera, kept ? m_roles.subResolution() : 0);
}

// A camera reopened keeps its resolution; another one starts at its first entry, and the list
// will show what it streams at.
void CameraSelection::openSub(int camera, QWidget* window) {
    const bool kept = camera == m_lastSub && m_roles.subResolution() < ZoGetResCount(camera);
    m_roles.setSubResolution(kept ? m_roles.subResolution() : 0);
    m_lastSub = camera;
    ZoSetDefaultResolution(camera, m_roles.subResolution());
    ZoOpenCamera(camera, handleOf(window));
}

void CameraSelection::configureSub(int camera) {
    m_roles.setSub(camera);
    ZoSetShowZoomRate(camera, false);
    fillSubResolutions();
}

void CameraSelection::onSubListChanged() {
    if (!m_widgets.subOn->isChecked()) {
        showChosenSubResolutions();
        return;
    }
    const int entry = m_widgets.subList->currentIndex();
    if (entry < 0)
        return;
    const int camera = subEntryCamera(entry, m_roles.main());
    if (camera == m_roles.sub())
        return;
    closeWhileRunning(m_roles.sub());
    openSub(camera, m_pip.subVideoWidget());
    configureSub(camera);
}

void CameraSelection::onMainListChanged() {
    const int camera = m_widgets.mainList->currentIndex();
    if (camera != -1 && camera != m_roles.main()) {
        if (m_widgets.subOn->isChecked() && camera == m_roles.sub()) {
            swapRoles(); // both keep streaming; only their windows change
        } else {
            // A new main camera starts at its first resolution, which its list then shows.
            closeWhileRunning(m_roles.main());
            m_roles.setMain(camera);
            m_roles.setMainResolution(0);
            ZoSetDefaultResolution(camera, 0);
            ZoOpenCamera(camera, handleOf(m_widgets.preview));
            ZoSetShowZoomRate(camera, m_settings.showRatio);
            ZoSetDPI(camera, m_widgets.dpiList->currentText().toInt());
            ZoSetZoomCB(camera, m_zoomReported);
            m_pip.applyMainMouseMode();
            m_roles.setFrameSize(ZoGetResWidth(camera, 0), ZoGetResHeight(camera, 0));
            if (!m_widgets.subOn->isChecked())
                m_widgets.colorList->setCurrentIndex(0);
        }
        fillMainResolutions();
        if (m_widgets.subOn->isChecked())
            fillSubResolutions();
        fillSubCameraList();
        m_roles.reportMainReplaced();
        return;
    }
    fillSubCameraList();
}

void CameraSelection::switchMainSub() {
    if (!m_widgets.subOn->isChecked()) {
        const bool chinese = m_settings.language == 0;
        platform::showMessage(chinese ? QStringLiteral("提示") : QStringLiteral("Information"),
                              chinese ? QStringLiteral("副头未开启")
                                      : QStringLiteral("The sub camera is not open."));
        return;
    }
    swapRoles();
    fillMainResolutions();
    fillSubResolutions();
    fillSubCameraList();
    {
        const QSignalBlocker blocker(m_widgets.mainList);
        m_widgets.mainList->setCurrentIndex(m_roles.main());
    }
    m_roles.reportMainReplaced();
}

// The main camera's settings that are not per picture follow the main role: its window, the
// zoom ratio display and callback, the mouse, the watermark and automatic crop.
void CameraSelection::swapRoles() {
    ZoSetHwnd(m_roles.sub(), handleOf(m_widgets.preview));
    m_roles.swap();
    m_lastSub = m_roles.sub();
    m_roles.setFrameSize(ZoGetResWidth(m_roles.main(), m_roles.mainResolution()),
                         ZoGetResHeight(m_roles.main(), m_roles.mainResolution()));
    m_pip.attachSubVideo();
    ZoSetShowZoomRate(m_roles.main(), m_settings.showRatio);
    ZoSetShowZoomRate(m_roles.sub(), false);
    ZoSetZoomCB(m_roles.main(), m_zoomReported);
    m_pip.applyMainMouseMode();
    if (m_widgets.watermarkOn->isChecked()) {
        ZoClearWatermark(m_roles.sub());
        emit watermarkMoved();
    }
    if (m_widgets.autoCropOn->isChecked()) {
        ZoEnableAutoRotate(m_roles.main(), true);
        ZoEnableAutoRotate(m_roles.sub(), false);
    }
}

void CameraSelection::fillMainResolutions() {
    fillResolutions(m_widgets.mainResolutions, m_roles.main(), m_roles.mainResolution());
}

void CameraSelection::fillSubResolutions() {
    fillResolutions(m_widgets.subResolutions, m_roles.sub(), m_roles.subResolution());
}

void CameraSelection::onMainResolutionChanged() {
    const int index = m_widgets.mainResolutions->currentIndex();
    if (index < 0 || index == m_roles.mainResolution())
        return;
    const int camera = m_roles.main();
    ZoSetResolution(camera, index);
    m_roles.setMainResolution(index);
    m_roles.setFrameSize(ZoGetResWidth(camera, index), ZoGetResHeight(camera, index));
    // The picture's place in the preview changes once the new frames arrive.
    m_pip.startVideoRectTimer();
}

void CameraSelection::onSubResolutionChanged() {
    const int index = m_widgets.subResolutions->currentIndex();
    if (index < 0)
        return;
    // Chosen before the camera is on: it opens at this entry (openSub keeps it).
    if (!m_widgets.subOn->isChecked()) {
        m_lastSub = chosenSubCamera();
        m_roles.setSubResolution(index);
        return;
    }
    if (index == m_roles.subResolution())
        return;
    ZoSetResolution(m_roles.sub(), index);
    m_roles.setSubResolution(index);
}
