#include "QBasePlate.h"

#include "Arrow.h"
#include "Figures.h"
#include "ShapeText.h"
#include "Strokes.h"
#include "TextFont.h"
#include "Tools.h"

#include "Settings.h"

#include <QCursor>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QTextEdit>
#include <QTransform>

namespace {

std::unique_ptr<AbstractShape> makeShape(int id) {
    switch (id) {
    case tool::kPen:
        return std::make_unique<Curve>();
    case tool::kLine:
        return std::make_unique<Line>();
    case tool::kTriangle:
        return std::make_unique<Trangle>();
    case tool::kRectangle:
        return std::make_unique<Papyra::Rectangle>();
    case tool::kEllipse:
        return std::make_unique<ZoEllipse>();
    case tool::kText:
        return std::make_unique<ShapeText>();
    case tool::kArrow:
        return std::make_unique<Arrow>();
    case tool::kEraser:
        return std::make_unique<Eraser>();
    default:
        return nullptr;
    }
}

} // namespace

QBasePlate::QBasePlate(const Settings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings) {
    setObjectName(QStringLiteral("QBasePlate"));
    resize(400, 300);
    setWindowTitle(tr("QBasePlate"));
    if (parent == nullptr) {
        setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_TranslucentBackground);
    }
    m_color = Qt::red;
    reset();
    // A window shortcut: while the text box has focus it takes Ctrl+Z for its own typing first.
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, this, &QBasePlate::undo);
}

QBasePlate::~QBasePlate() {
    closeTextBox();
}

void QBasePlate::clear() {
    closeTextBox(); // its shape is gone with the others
    m_shapes.clear();
    m_current = nullptr;
    m_pressed = false;
    shapesChanged();
}

void QBasePlate::reset() {
    closeTextBox();
    m_current = nullptr;
    m_tool = tool::kPen;
    m_pressed = false;
    m_shapes.clear();
    m_layerStale = true;
    m_lineWidth = m_settings.lineWidth;
    m_opacity = m_settings.opcity;
    m_color = QColor(m_settings.rval, m_settings.gval, m_settings.bval, 255);
}

void QBasePlate::closeTextBox() {
    if (m_textFrame == nullptr)
        return;
    disconnect(m_textEdit, &QTextEdit::textChanged, this, &QBasePlate::setTextItemContent);
    delete m_textFrame; // and the text box inside it
    m_textFrame = nullptr;
    m_textEdit = nullptr;
    emit textBoxMoved({});
}

void QBasePlate::undo() {
    if (m_shapes.empty())
        return;
    if (m_shapes.back().get() == m_current) {
        closeTextBox();
        m_current = nullptr;
        m_pressed = false;
    }
    m_shapes.pop_back();
    shapesChanged();
}

void QBasePlate::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    std::unique_ptr<AbstractShape> shape = makeShape(m_tool);
    if (!shape) {
        m_current = nullptr;
        if (m_textFrame != nullptr) {
            closeTextBox();
            shapesChanged();
        }
        return;
    }
    shape->type = m_tool;
    if (m_tool != tool::kEraser) {
        shape->setColor(m_color);
        shape->setAlpha(m_opacity);
    }
    if (m_tool != tool::kEraser && m_tool != tool::kText)
        shape->setLineWidth(m_lineWidth);
    // A figure spans from the press point until the first move; it would reach (0, 0) otherwise.
    shape->start = at;
    shape->end = at;
    m_current = shape.get();
    m_shapes.push_back(std::move(shape));
    m_layerStale = true; // no repaint of its own: a figure shows from its first move

    if (m_tool == tool::kEraser)
        setCursor(QCursor(QPixmap(QStringLiteral(":/image/eraser.png")), -1, -1));
    if (m_tool == tool::kText) {
        if (m_textFrame != nullptr) {
            shapesChanged();
            closeTextBox(); // the previous text shape keeps its last text
        }
        openTextBox(at);
    } else {
        closeTextBox();
    }
    m_pressed = true;
}

void QBasePlate::mouseMoveEvent(QMouseEvent* event) {
    if (m_current == nullptr || !m_pressed)
        return;
    m_current->extendTo(event->position().toPoint());
    shapesChanged();
}

void QBasePlate::mouseReleaseEvent(QMouseEvent* event) {
    if (m_current != nullptr) {
        m_current->end = event->position().toPoint();
        m_layerStale = true;
    }
    m_pressed = false;
}

void QBasePlate::shapesChanged() {
    m_layerStale = true;
    update();
}

QImage QBasePlate::renderShapes(QSize size, const QTransform& transform) const {
    // No background: pixels no shape touches stay transparent and the picture below shows.
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(transform);
    for (const std::unique_ptr<AbstractShape>& shape : m_shapes)
        shape->draw(&painter);
    return image;
}

void QBasePlate::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (m_layerStale || m_layer.size() != pixels) {
        m_layer = renderShapes(pixels, QTransform::fromScale(ratio, ratio));
        m_layer.setDevicePixelRatio(ratio);
        m_layerStale = false;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_layer);
}

void QBasePlate::hideEvent(QHideEvent*) {
    closeTextBox();
}

void QBasePlate::openTextBox(QPoint at) {
    // A child of the canvas, so it takes keyboard focus without a window manager.
    m_textFrame = new QWidget(this);
    m_textFrame->setGeometry(at.x() - 2, at.y() - 2, 100, 30);
    static_cast<ShapeText*>(m_current)->setRect(m_textFrame->geometry());
    m_textEdit = new QTextEdit(m_textFrame);
    m_textEdit->setGeometry(0, 0, 100, 30);
    connect(m_textEdit, &QTextEdit::textChanged, this, &QBasePlate::setTextItemContent);
    m_textEdit->setStyleSheet(
        QStringLiteral("background-color: rgba(0,0,0,0);color: rgba(0,0,0,255);border-width:2px;"
                       "border-color:#1464C8;border-style:solid;"));
    // Typed text shows green in the box; the shape draws it in its own colour.
    m_textEdit->setTextColor(QColor(100, 200, 30, 255));
    m_textEdit->setFont(annotationTextFont());
    m_textEdit->setLineWrapMode(QTextEdit::NoWrap);
    m_textEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textEdit->show();
    m_textFrame->show();
    m_textEdit->setFocus();
    emit textBoxMoved(m_textFrame->geometry());
}

void QBasePlate::setTextItemContent() {
    auto* text = dynamic_cast<ShapeText*>(m_current);
    if (text == nullptr || m_textEdit == nullptr)
        return;
    const int frame = 2 * m_textEdit->frameWidth();
    const QSizeF document = m_textEdit->document()->size();
    const int width = std::max(static_cast<int>(document.width() + frame), 100);
    const int height = static_cast<int>(document.height() + frame);
    m_textEdit->setFixedSize(width, height);
    m_textFrame->resize(width, height);
    // The box shows its text inset by its border and document margin; the shape's rectangle is
    // moved by that inset so that the drawn text lands where the typed text stood (k is 15 at
    // 50 points).
    const QRect box = m_textFrame->geometry();
    const int k = (7 * (m_textEdit->font().pointSize() - 25)) / 40 + 11;
    text->setRect(
        QRect(QPoint(box.left() + 6, box.top() + k), QPoint(box.right() + 6, box.bottom() + k)));
    text->setText(m_textEdit->toPlainText());
    m_layerStale = true; // seen from the next repaint on, as the box shows the typing meanwhile
    emit textBoxMoved(box);
}
