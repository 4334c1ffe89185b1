#include "ShowPieceWidget.h"

ShowPieceWidget::ShowPieceWidget() : QWidget(nullptr, Qt::SubWindow | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("ShowPieceWidget"));
    setWindowTitle(QStringLiteral("ShowPiece"));
    // Qt counts every parentless window towards "the last window closed" unless told not to.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(1, 1);
    move(-10, -30);
}
