#include "QPreviewWidget.h"

#include "MainForm.h"
#include "WindowHandle.h"
#include "ZoApi.h"

#include <QMouseEvent>
#include <QWheelEvent>

QPreviewWidget::QPreviewWidget(QWidget* parent) : QWidget(parent) {
    // The engine zooms the wheel around the last pointer position, so it needs every move.
    setMouseTracking(true);
}

void QPreviewWidget::mousePressEvent(QMouseEvent* event) {
    if (g_pMainForm != nullptr)
        ZoOnLMousePress(handleOf(this), event->position().toPoint().x(),
                        event->position().toPoint().y());
}

void QPreviewWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (g_pMainForm != nullptr)
        ZoOnLMouseRelease(handleOf(this), event->position().toPoint().x(),
                          event->position().toPoint().y());
}

void QPreviewWidget::mouseMoveEvent(QMouseEvent* event) {
    if (g_pMainForm != nullptr)
        ZoOnMouseMoving(handleOf(this), event->position().toPoint().x(),
                        event->position().toPoint().y());
}

// While picture-in-picture is shown the main picture keeps its view.
void QPreviewWidget::wheelEvent(QWheelEvent* event) {
    if (g_pMainForm != nullptr && g_pMainForm->zoomEnabled())
        ZoOnWheel(handleOf(this), event->angleDelta().y());
}

void QPreviewWidget::paintEvent(QPaintEvent*) {
    if (g_pMainForm != nullptr)
        ZoUpdateVideo(g_pMainForm->mainCamera());
}
