#pragma once

#include <QWidget>

// The area the engine draws the main camera into. The engine's video surface takes no input,
// so the mouse is handed to the engine from here; the wheel and repaints are left to the owner,
// which knows the camera and whether zoom is allowed.
class QPreviewWidget : public QWidget {
    Q_OBJECT

public:
    explicit QPreviewWidget(QWidget* parent = nullptr);

signals:
    void wheelTurned(int delta);
    void videoExposed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
