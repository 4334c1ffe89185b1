#pragma once

#include "pipeline/ViewTransform.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QPolygonF>
#include <QWidget>

#include <optional>

namespace camcore {

// Draws a camera's live picture into the widget behind a window handle. It is a child that
// covers the whole target widget, follows its size, stays below the target's other children
// and lets every mouse event through to the target, which forwards them to the engine.
class VideoSurface final : public QWidget {
public:
    explicit VideoSurface(QWidget* target);

    // Moves the surface into another widget.
    void attachTo(QWidget* target);
    QWidget* target() const { return m_target; }

    // `picture` shows the whole source frame of `sourceSize`, possibly at a reduced scale.
    void setPicture(const QImage& picture, QSize sourceSize);
    void setView(const ViewTransform& view);
    // Outlines of the documents a capture would cut out, in source pixels; drawn as thin frames.
    void setOutlines(const QList<QPolygonF>& outlines);
    void setShowZoomRate(bool show);
    // The rectangle being drawn with the mouse, in window pixels.
    void setRubberBand(std::optional<QRect> rect);
    // The camera stopped delivering (unplugged): say so instead of showing a stale picture.
    void setLost(bool lost);

    const QImage& picture() const { return m_picture; }
    const QList<QPolygonF>& outlines() const { return m_outlines; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> m_target;
    QImage m_picture;
    QSize m_sourceSize;
    ViewTransform m_view;
    bool m_showZoomRate = false;
    bool m_lost = false;
    std::optional<QRect> m_rubberBand;
    QList<QPolygonF> m_outlines;
};

} // namespace camcore
