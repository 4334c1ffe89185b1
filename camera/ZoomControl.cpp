#include "ZoomControl.h"

#include "CameraRoles.h"
#include "PictureInPicture.h"
#include "WindowHandle.h"
#include "ZoomScale.h"

#include <QAbstractSlider>

ZoomControl::ZoomControl(const CameraRoles& roles, const PictureInPicture& pip,
                         QAbstractSlider* scale, QWidget* preview)
    : m_roles(roles), m_pip(pip), m_scale(scale), m_preview(preview) {}

void ZoomControl::init(ZoZoomCallback zoomReported) {
    m_scale->setRange(0, kScaleSliderMax);
    m_minRatio = ZoGetMinZoomRatio(m_roles.main());
    m_maxRatio = ZoGetMaxZoomRatio(m_roles.main());
    ZoSetZoomCB(m_roles.main(), zoomReported);
}

void ZoomControl::zoomIn() {
    if (m_pip.zoomEnabled())
        ZoZoomIn(m_roles.main());
}

void ZoomControl::zoomOut() {
    if (m_pip.zoomEnabled())
        ZoZoomOut(m_roles.main());
}

void ZoomControl::applyScale() {
    if (m_pip.zoomEnabled())
        ZoZoom(m_roles.main(), zoomForSlider(m_minRatio, m_maxRatio, m_scale->value()));
}

void ZoomControl::onWheel(int delta) {
    if (m_pip.zoomEnabled())
        ZoOnWheel(handleOf(m_preview), delta);
}

// setValue does not emit sliderReleased, so following the engine does not zoom again.
void ZoomControl::follow(float ratio) {
    if (const auto value = sliderForZoom(m_minRatio, m_maxRatio, ratio))
        m_scale->setValue(*value);
}
