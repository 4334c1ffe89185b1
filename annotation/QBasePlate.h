#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <memory>
#include <vector>

class AbstractShape;
class QTextEdit;
struct Settings;

// The drawing canvas of presentation mode. It keeps the annotation shapes in drawing order,
// makes a shape of the current tool on every press, extends it while the mouse moves and repaints
// them all over a transparent background. The text tool opens a text box at the press point and
// keeps a text shape in step with what is typed. Ctrl+Z takes back the last shape.
//
// Without a parent it is a frameless, always-on-top translucent window; with one it is a plain
// child widget laid over the video. Its mouse handlers are public so that an input layer above it
// can hand on the events it receives in the same coordinates.
//
// The shapes are drawn into an image of the canvas's own, redrawn only when they change, and
// that image is drawn over whatever lies below. A child shares its window's backing store with
// the video, where the eraser's clear mode would punch holes through the picture; in its own
// image it only clears what the shapes before it drew. It also spares redrawing every shape on
// every video frame.
class QBasePlate : public QWidget {
    Q_OBJECT

public:
    // Width, opacity and colour come from the annotation settings, here and on every reset().
    explicit QBasePlate(const Settings& settings, QWidget* parent = nullptr);
    ~QBasePlate() override;

    // These affect only the shapes made afterwards.
    void setTool(int id) { m_tool = id; }
    void setLineWidth(int width) { m_lineWidth = width; }
    void setColor(const QColor& c) { m_color = c; }
    void setOpacity(int alpha) { m_opacity = alpha; }
    int tool() const { return m_tool; }
    int lineWidth() const { return m_lineWidth; }
    QColor color() const { return m_color; }
    int opacity() const { return m_opacity; }

    // Drops every shape; tool, width, colour and opacity stay.
    void clear();
    // Drops every shape, selects the pen and reloads width, opacity and colour from the settings.
    void reset();
    void closeTextBox();

    // The shape the last press made, while it is in the list; null otherwise.
    const AbstractShape* currentShape() const { return m_current; }
    int shapeCount() const { return static_cast<int>(m_shapes.size()); }
    // The shapes alone, drawn through `transform` into a transparent image of `size`.
    QImage renderShapes(QSize size, const QTransform& transform) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

signals:
    // The open text box now covers `box` (in the canvas's coordinates); an empty rectangle when
    // it closed. A layer above the canvas leaves that place to the box.
    void textBoxMoved(const QRect& box);

public slots:
    // Sizes the text box to the typed text and gives the text and its place to the text shape.
    void setTextItemContent();
    // Removes the last shape, closing the text box if it belongs to it.
    void undo();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void openTextBox(QPoint at);
    // The shapes changed: their image is drawn again at the next paint.
    void shapesChanged();

    const Settings& m_settings;
    QColor m_color;
    // The list owns its shapes; `m_current` only points into it.
    std::vector<std::unique_ptr<AbstractShape>> m_shapes;
    AbstractShape* m_current = nullptr;
    int m_tool = 0;
    bool m_pressed = false;
    int m_lineWidth = 4;
    int m_opacity = 255;
    QWidget* m_textFrame = nullptr;
    QTextEdit* m_textEdit = nullptr;
    QImage m_layer;
    bool m_layerStale = true;
};
