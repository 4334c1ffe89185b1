#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <optional>

namespace camcore {

// The geometry of what the user sees: a source frame, optionally cut to a rectangle, turned by
// quarter turns, zoomed and panned, and fitted into a window with its aspect ratio kept
// (letterboxed). The same state decides what a capture contains, so what is seen is what is
// saved. Plain value type; not thread-safe.
class ViewTransform {
public:
    static constexpr double kMinZoom = 1.0; // the whole (cut) picture fits the window
    static constexpr double kMaxZoom = 4.0;
    static constexpr double kZoomStep = 1.25; // one zoom-in step multiplies the ratio by this

    void setSourceSize(QSize size); // keeps the cut only while it still fits inside
    QSize sourceSize() const { return m_source; }

    // Quarter turns clockwise, 0..3 (other values are taken modulo 4).
    void setRotation(int quarterTurns);
    int rotation() const { return m_rotation; }

    // Clamped to [kMinZoom, kMaxZoom]; returns the ratio in effect.
    double setZoom(double ratio);
    double zoom() const { return m_zoom; }
    // Zooms keeping the picture point under `windowPoint` where it is.
    double zoomAt(double ratio, QPointF windowPoint, QSize window);
    // Moves the picture by a drag of `delta` window pixels, kept inside the picture.
    void pan(QPointF delta, QSize window);

    // Cuts the picture to a rectangle of source pixels (clipped to the source); an empty
    // rectangle clears the cut. Zoom and pan restart.
    void setCut(QRect sourceRect);
    std::optional<QRect> cut() const { return m_cut; }

    // Back to the whole picture: no cut, zoom 1, centred. Rotation stays.
    void reset();

    // The part of the source that is visible, in source pixels (before rotation).
    QRectF visibleSourceRect() const;
    // Where the visible picture lands in a window of this size (letterboxed, aspect kept).
    // Empty when the source or window size is unknown.
    QRect videoRect(QSize window) const;
    // Maps source pixel coordinates to window coordinates (rotation included).
    QTransform sourceToWindow(QSize window) const;
    // Inverse of sourceToWindow; the point may lie outside the source.
    QPointF windowToSource(QPointF windowPoint, QSize window) const;

    // The size of the visible picture after rotation, in source pixels.
    QSizeF orientedVisibleSize() const;

private:
    QRectF baseRect() const; // cut or whole source
    void clampCentre();

    QSize m_source;
    int m_rotation = 0;
    double m_zoom = 1.0;
    QPointF m_centre{0.5, 0.5}; // centre of the visible part, relative to baseRect()
    std::optional<QRect> m_cut;
};

} // namespace camcore
