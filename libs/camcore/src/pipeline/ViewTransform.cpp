#include "pipeline/ViewTransform.h"

#include <algorithm>
#include <cmath>

namespace camcore {

void ViewTransform::setSourceSize(QSize size) {
    if (size == m_source)
        return;
    m_source = size;
    if (m_cut && !QRect(QPoint(0, 0), size).contains(*m_cut))
        reset();
}

void ViewTransform::setRotation(int quarterTurns) {
    m_rotation = ((quarterTurns % 4) + 4) % 4;
}

double ViewTransform::setZoom(double ratio) {
    if (!std::isfinite(ratio))
        return m_zoom;
    m_zoom = std::clamp(ratio, kMinZoom, kMaxZoom);
    clampCentre();
    return m_zoom;
}

double ViewTransform::zoomAt(double ratio, QPointF windowPoint, QSize window) {
    const QPointF before = windowToSource(windowPoint, window);
    setZoom(ratio);
    if (videoRect(window).isEmpty())
        return m_zoom;
    // Moving the visible part by d source pixels moves every mapped point by d, so the
    // difference is exactly the shift that brings the point back under the pointer.
    const QPointF shift = before - windowToSource(windowPoint, window);
    const QRectF base = baseRect();
    m_centre += QPointF(shift.x() / base.width(), shift.y() / base.height());
    clampCentre();
    return m_zoom;
}

void ViewTransform::pan(QPointF delta, QSize window) {
    if (videoRect(window).isEmpty())
        return;
    // The content follows the pointer: the visible part moves the other way.
    const QPointF moved = windowToSource(delta, window) - windowToSource(QPointF(0, 0), window);
    const QRectF base = baseRect();
    m_centre -= QPointF(moved.x() / base.width(), moved.y() / base.height());
    clampCentre();
}

void ViewTransform::setCut(QRect sourceRect) {
    const QRect clipped = sourceRect.normalized().intersected(QRect(QPoint(0, 0), m_source));
    if (clipped.isEmpty())
        m_cut.reset();
    else
        m_cut = clipped;
    m_zoom = 1.0;
    m_centre = {0.5, 0.5};
}

void ViewTransform::reset() {
    m_cut.reset();
    m_zoom = 1.0;
    m_centre = {0.5, 0.5};
}

QRectF ViewTransform::baseRect() const {
    if (m_cut)
        return QRectF(*m_cut);
    return QRectF(QPointF(0, 0), QSizeF(m_source));
}

void ViewTransform::clampCentre() {
    const double half = 0.5 / m_zoom;
    m_centre.setX(std::clamp(m_centre.x(), half, 1.0 - half));
    m_centre.setY(std::clamp(m_centre.y(), half, 1.0 - half));
}

QRectF ViewTransform::visibleSourceRect() const {
    const QRectF base = baseRect();
    const QSizeF size = base.size() / m_zoom;
    const QPointF centre(base.left() + m_centre.x() * base.width(),
                         base.top() + m_centre.y() * base.height());
    return QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size);
}

QSizeF ViewTransform::orientedVisibleSize() const {
    const QSizeF size = visibleSourceRect().size();
    return m_rotation % 2 ? size.transposed() : size;
}

QRect ViewTransform::videoRect(QSize window) const {
    const QSizeF picture = orientedVisibleSize();
    if (m_source.isEmpty() || window.isEmpty() || picture.isEmpty())
        return {};
    const double scale =
        std::min(window.width() / picture.width(), window.height() / picture.height());
    const int width =
        std::clamp(static_cast<int>(std::lround(picture.width() * scale)), 1, window.width());
    const int height =
        std::clamp(static_cast<int>(std::lround(picture.height() * scale)), 1, window.height());
    return QRect((window.width() - width) / 2, (window.height() - height) / 2, width, height);
}

QTransform ViewTransform::sourceToWindow(QSize window) const {
    const QRect video = videoRect(window);
    if (video.isEmpty())
        return {};
    const QRectF visible = visibleSourceRect();
    const QSizeF oriented = orientedVisibleSize();
    const QRectF target(video); // the exact edges, not QRect's inclusive ones
    // Separate x and y scales so the corners land on the rounded rectangle exactly.
    return QTransform::fromTranslate(-visible.center().x(), -visible.center().y()) *
           QTransform().rotate(90.0 * m_rotation) *
           QTransform::fromScale(target.width() / oriented.width(),
                                 target.height() / oriented.height()) *
           QTransform::fromTranslate(target.center().x(), target.center().y());
}

QPointF ViewTransform::windowToSource(QPointF windowPoint, QSize window) const {
    bool invertible = false;
    const QTransform inverse = sourceToWindow(window).inverted(&invertible);
    return invertible ? inverse.map(windowPoint) : windowPoint;
}

} // namespace camcore
