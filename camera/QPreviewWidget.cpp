#include "QPreviewWidget.h"

#include "WindowHandle.h"
#include "ZoApi.h"

#include <QMouseEvent>
#include <QWheelEvent>

QPreviewWidget::QPreviewWidget(QWidget* parent) : QWidget(parent) {
    // The engine zooms the wheel around the last pointer position, so it needs every move.
    setMouseTracking(true);
}

void QPreviewWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    ZoOnLMousePress(handleOf(this), at.x(), at.y());
}

void QPreviewWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    ZoOnLMouseRelease(handleOf(this), at.x(), at.y());
}

void QPreviewWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    ZoOnMouseMoving(handleOf(this), at.x(), at.y());
}

void QPreviewWidget::wheelEvent(QWheelEvent* event) {
    emit wheelTurned(event->angleDelta().y());
}

void QPreviewWidget::paintEvent(QPaintEvent*) {
    emit videoExposed();
}
