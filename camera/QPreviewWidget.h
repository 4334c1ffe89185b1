#pragma once

#include <QWidget>

// The area the engine draws the main camera into. The engine's video surface takes no input,
// so the mouse and the wheel are handed to the engine from here.
class QPreviewWidget : public QWidget {
    Q_OBJECT

public:
    explicit QPreviewWidget(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
