#pragma once

#include "pipeline/ViewTransform.h"
#include "process/watermark/Watermark.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QPolygonF>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace camcore {

// Draws a camera's live picture into the widget behind a window handle. It is a child that
// covers the whole target widget, follows its size, stays below the target's other children
// and lets every mouse event through to the target, which forwards them to the engine. Of two
// surfaces in one target, the one attached later lies on top.
class VideoSurface final : public QWidget {
public:
    explicit VideoSurface(QWidget* target);

    // Moves the surface into another widget.
    void attachTo(QWidget* target);
    QWidget* target() const { return m_target; }
    // Grows with each attachment: of two surfaces in one target, the later is on top.
    std::uint64_t attachOrder() const { return m_attachOrder; }

    // Whether the target can be seen: shown, and its window not minimised. A picture for a
    // surface that cannot be seen is wasted work.
    bool showing() const;
    // Called when the target is shown, hidden, minimised or resized.
    void setTargetChangeHandler(std::function<void()> handler) {
        m_targetChanged = std::move(handler);
    }

    // `picture` shows the whole source frame of `sourceSize`, possibly at a reduced scale.
    void setPicture(const QImage& picture, QSize sourceSize);
    void setView(const ViewTransform& view);
    // Outlines of the documents a capture would cut out, in source pixels; drawn as thin frames.
    void setOutlines(const QList<QPolygonF>& outlines);
    void setShowZoomRate(bool show);
    // The rectangle being drawn with the mouse, in window pixels.
    void setRubberBand(std::optional<QRect> rect);
    // The camera's watermark, drawn over the picture as a capture at `dpi` would carry it.
    void setWatermark(const std::optional<Watermark>& mark, int dpi);
    // The camera stopped delivering (unplugged): say so instead of showing a stale picture.
    void setLost(bool lost);

    const QImage& picture() const { return m_picture; }
    const QList<QPolygonF>& outlines() const { return m_outlines; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void stackBelowControls();

    QPointer<QWidget> m_target;
    QPointer<QWidget> m_targetWindow; // the top-level window, told of minimising
    std::uint64_t m_attachOrder = 0;
    std::function<void()> m_targetChanged;
    QImage m_picture;
    QSize m_sourceSize;
    ViewTransform m_view;
    bool m_showZoomRate = false;
    bool m_lost = false;
    std::optional<QRect> m_rubberBand;
    QList<QPolygonF> m_outlines;
    std::optional<Watermark> m_watermark;
    int m_watermarkDpi = 200;
};

} // namespace camcore
