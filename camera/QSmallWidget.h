#pragma once

#include "PipGeometry.h"

#include <QDialog>

// The floating frameless window that shows the sub camera over the main picture. It may only
// stand inside its allowed region: every position it is given, by the program or by the user,
// ends inside it.
class QSmallWidget : public QDialog {
    Q_OBJECT

public:
    explicit QSmallWidget(QWidget* parent = nullptr);

    const PipRegion& region() const { return m_region; }
    void setRegion(const PipRegion& region) { m_region = region; }
    // Every placement by the program goes through here.
    void placeAt(QPoint position);
    // Escape would hide the window behind the check box's back; only the box hides it.
    void reject() override {}

signals:
    // A drag moved the window off part of the main picture, which needs drawing again.
    void mainPictureUncovered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Catches moves that did not come through placeAt (the window manager, QWidget::move).
    void moveEvent(QMoveEvent* event) override;

private:
    bool m_dragging = false;
    int m_zone = 11;
    QPoint m_lastGlobal;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
    PipRegion m_region;
};
