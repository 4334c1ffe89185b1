#include "VideoSurface.h"

#include "render/ShownLanguage.h"

#include "process/watermark/WatermarkDraw.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace camcore {

VideoSurface::VideoSurface(QWidget* target) : QWidget(target) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    attachTo(target);
}

void VideoSurface::attachTo(QWidget* target) {
    static std::uint64_t attachments = 0; // GUI thread only
    for (QWidget* watched : {m_target.data(), m_targetWindow.data()})
        if (watched != nullptr)
            watched->removeEventFilter(this);
    m_target = target;
    m_targetWindow = target ? target->window() : nullptr;
    setParent(target);
    if (!target)
        return;
    target->installEventFilter(this);
    m_targetWindow->installEventFilter(this);
    m_attachOrder = ++attachments;
    setGeometry(target->rect());
    stackBelowControls();
    show();
    if (m_targetChanged)
        m_targetChanged();
}

bool VideoSurface::showing() const {
    return m_target && m_target->isVisible() && !m_target->window()->isMinimized();
}

void VideoSurface::stackBelowControls() {
    // Lowered newest first, so the oldest surface ends at the bottom. Only the surfaces: the
    // window's own children (a canvas, a toolbar) keep their places above them. The class has
    // no meta-object of its own, so findChildren would take every widget for a surface.
    QList<VideoSurface*> surfaces;
    for (QObject* child : m_target->children())
        if (auto* surface = dynamic_cast<VideoSurface*>(child))
            surfaces.append(surface);
    std::sort(surfaces.begin(), surfaces.end(), [](const VideoSurface* a, const VideoSurface* b) {
        return a->m_attachOrder > b->m_attachOrder;
    });
    for (VideoSurface* surface : surfaces)
        surface->lower();
}

void VideoSurface::setPicture(const QImage& picture, QSize sourceSize) {
    m_picture = picture;
    m_sourceSize = sourceSize;
    m_lost = false;
    update();
}

void VideoSurface::setView(const ViewTransform& view) {
    m_view = view;
    update();
}

void VideoSurface::setOutlines(const QList<QPolygonF>& outlines) {
    if (outlines == m_outlines)
        return;
    m_outlines = outlines;
    update();
}

void VideoSurface::setShowZoomRate(bool show) {
    m_showZoomRate = show;
    update();
}

void VideoSurface::setRubberBand(std::optional<QRect> rect) {
    m_rubberBand = rect;
    update();
}

void VideoSurface::setWatermark(const std::optional<Watermark>& mark, int dpi) {
    m_watermark = mark;
    m_watermarkDpi = dpi;
    update();
}

void VideoSurface::setLost(bool lost) {
    m_lost = lost;
    update();
}

bool VideoSurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_target && event->type() == QEvent::Resize) {
        setGeometry(m_target->rect());
        stackBelowControls();
    }
    // Hiding any ancestor sends the target a hide event; minimising changes only the state of
    // the top-level window.
    const QEvent::Type type = event->type();
    if ((watched == m_target || watched == m_targetWindow) && m_targetChanged &&
        (type == QEvent::Show || type == QEvent::Hide || type == QEvent::WindowStateChange ||
         (type == QEvent::Resize && watched == m_target)))
        m_targetChanged();
    return QWidget::eventFilter(watched, event);
}

void VideoSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_lost) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, shownText("摄像头已断开", "Camera disconnected"));
        return;
    }
    if (m_picture.isNull() || m_sourceSize.isEmpty())
        return;

    const QRect video = m_view.videoRect(size());
    painter.setClipRect(video);
    // The picture may be a reduced decode of the frame: scale it up to source pixels first.
    const QTransform toSource =
        QTransform::fromScale(double(m_sourceSize.width()) / m_picture.width(),
                              double(m_sourceSize.height()) / m_picture.height());
    painter.setTransform(toSource * m_view.sourceToWindow(size()));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QPointF(0, 0), m_picture);
    if (!m_outlines.isEmpty()) {
        painter.setTransform(m_view.sourceToWindow(size()));
        painter.setRenderHint(QPainter::Antialiasing);
        QPen frame(QColor(0, 200, 90), 2);
        frame.setCosmetic(true); // 2 window pixels whatever the zoom
        painter.setPen(frame);
        painter.setBrush(Qt::NoBrush);
        for (const QPolygonF& outline : m_outlines)
            painter.drawPolygon(outline);
    }
    if (m_watermark) {
        // Drawn in the pixels of the picture a capture would start from, scaled to the window.
        const ViewedPicture viewed = viewedPicture(m_view, m_sourceSize);
        painter.setTransform(viewed.fromSource.inverted() * m_view.sourceToWindow(size()));
        drawWatermark(
            painter, *m_watermark,
            {viewed.size, m_watermarkDpi, viewed.fromSource.map(QPointF(m_watermark->position))},
            QDateTime::currentDateTime());
    }
    painter.resetTransform();

    if (m_rubberBand) {
        painter.setPen(QPen(QColor(0, 160, 255), 2, Qt::DashLine));
        painter.drawRect(m_rubberBand->normalized());
    }
    if (m_showZoomRate) {
        const QString text = QStringLiteral("%1x").arg(m_view.zoom(), 0, 'f', 1);
        QFont font = painter.font();
        font.setPixelSize(16);
        font.setBold(true);
        painter.setFont(font);
        const QRect box = painter.fontMetrics().boundingRect(text).adjusted(-6, -3, 6, 3);
        const QRect placed = box.translated(video.right() - box.width() - 8 - box.left(),
                                            video.top() + 8 - box.top());
        painter.fillRect(placed, QColor(0, 0, 0, 140));
        painter.setPen(Qt::white);
        painter.drawText(placed, Qt::AlignCenter, text);
    }
}

} // namespace camcore
