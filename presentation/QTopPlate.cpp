#include "QTopPlate.h"

#include "AbstractShape.h"
#include "PanelItems.h"
#include "QBasePlate.h"
#include "QPanel.h"
#include "Tools.h"

#include <QCursor>
#include <QPixmap>
#include <QRegion>

namespace {

// The pencil's tip is its lower left corner; the eraser's hot spot is its centre.
QCursor pencilCursor() {
    return QCursor(QPixmap(QStringLiteral(":/image/pencil.png")), 0, 24);
}

QCursor eraserCursor() {
    return QCursor(QPixmap(QStringLiteral(":/image/eraser.png")), -1, -1);
}

} // namespace

QTopPlate::QTopPlate(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("QTopPlate"));
    resize(400, 300);
    setWindowTitle(QStringLiteral("QTopPlate"));
    if (parent == nullptr) {
        setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setWindowOpacity(0.01);
    }
}

void QTopPlate::setBasePlate(QBasePlate* basePlate) {
    if (m_basePlate != nullptr)
        disconnect(m_basePlate, &QBasePlate::textBoxMoved, this, &QTopPlate::leaveToTextBox);
    m_basePlate = basePlate;
    if (m_basePlate != nullptr)
        connect(m_basePlate, &QBasePlate::textBoxMoved, this, &QTopPlate::leaveToTextBox);
}

// A widget's mask decides which of its points take the mouse: outside it the widget below does.
void QTopPlate::leaveToTextBox(const QRect& box) {
    m_textBox =
        box.isEmpty()
            ? QRect()
            : box.translated(m_basePlate->mapTo(window(), QPoint()) - mapTo(window(), QPoint()));
    if (m_textBox.isEmpty())
        clearMask();
    else
        setMask(QRegion(rect()).subtracted(m_textBox));
}

void QTopPlate::resizeEvent(QResizeEvent*) {
    if (!m_textBox.isEmpty())
        setMask(QRegion(rect()).subtracted(m_textBox));
}

void QTopPlate::setCursorMode(int item) {
    switch (item) {
    case panel::kPen:
        setCursor(pencilCursor());
        break;
    case panel::kEraser:
        setCursor(eraserCursor());
        break;
    case panel::kLine:
    case panel::kTriangle:
    case panel::kRectangle:
    case panel::kEllipse:
        setCursor(Qt::CrossCursor);
        break;
    case panel::kText:
        setCursor(Qt::IBeamCursor);
        break;
    case panel::kMouse:
    case panel::kClean:
    case panel::kLineWidth:
    case panel::kColour:
    case panel::kOpacity:
    case panel::kBack:
        setCursor(Qt::ArrowCursor);
        break;
    default:
        break;
    }
}

void QTopPlate::mousePressEvent(QMouseEvent* event) {
    if (m_basePlate != nullptr)
        m_basePlate->mousePressEvent(event);
}

void QTopPlate::mouseReleaseEvent(QMouseEvent* event) {
    if (m_basePlate != nullptr)
        m_basePlate->mouseReleaseEvent(event);
    if (m_panel != nullptr)
        m_panel->raise();
}

// Moves arrive only while a button is held (no mouse tracking).
void QTopPlate::mouseMoveEvent(QMouseEvent* event) {
    if (m_basePlate == nullptr)
        return;
    m_basePlate->mouseMoveEvent(event);
    const AbstractShape* current = m_basePlate->currentShape();
    if (current == nullptr)
        setCursor(Qt::ArrowCursor);
    else if (current->type == tool::kEraser)
        setCursor(eraserCursor());
    else if (current->type == tool::kPen)
        setCursor(pencilCursor());
}
