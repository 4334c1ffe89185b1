#include "QSmallWidget.h"

#include <QMouseEvent>

QSmallWidget::QSmallWidget(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint) {
    setCursor(Qt::ArrowCursor);
    setMinimumSize(128, 96);
    setMouseTracking(true); // the cursor follows the grab zone under the pointer
}

void QSmallWidget::placeAt(QPoint position) {
    move(clampToRegion(position, m_region));
}

void QSmallWidget::mousePressEvent(QMouseEvent* event) {
    m_dragging = true;
    m_lastGlobal = event->globalPosition().toPoint();
    m_zone = grabZone(event->position().toPoint(), size());
}

void QSmallWidget::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void QSmallWidget::mouseMoveEvent(QMouseEvent* event) {
    const Qt::CursorShape shape = zoneCursor(grabZone(event->position().toPoint(), size()));
    if (shape != m_cursor) {
        m_cursor = shape;
        setCursor(shape);
    }
    if (!m_dragging)
        return;
    const QPoint global = event->globalPosition().toPoint();
    const QPoint shift = dragShift(m_zone, global - m_lastGlobal);
    if (!shift.isNull())
        placeAt(pos() + shift);
    m_lastGlobal = global;
    emit mainPictureUncovered();
}

void QSmallWidget::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    const QPoint allowed = clampToRegion(pos(), m_region);
    if (allowed != pos())
        move(allowed);
}
