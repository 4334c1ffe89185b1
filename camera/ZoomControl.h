#pragma once

#include "ZoApi.h"

class CameraRoles;
class PictureInPicture;
class QAbstractSlider;
class QWidget;

// Zooming the main picture with the buttons, the scale slider and the wheel. Zoom is off while
// picture-in-picture is shown: the floating window's region follows the whole picture.
class ZoomControl {
public:
    ZoomControl(const CameraRoles& roles, const PictureInPicture& pip, QAbstractSlider* scale,
                QWidget* preview);

    // Reads the range once (a later main camera shares it) and asks to hear of changes.
    void init(ZoZoomCallback zoomReported);
    void zoomIn();
    void zoomOut();
    void applyScale();
    void onWheel(int delta);
    // The slider follows a ratio the engine reports, without zooming again.
    void follow(float ratio);

private:
    const CameraRoles& m_roles;
    const PictureInPicture& m_pip;
    QAbstractSlider* m_scale;
    QWidget* m_preview;
    float m_minRatio = 1.0f;
    float m_maxRatio = 1.0f;
};
