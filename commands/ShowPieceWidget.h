#pragma once

#include <QWidget>

// The hidden window titled "ShowPiece" that other programs look for: a parentless 1x1 window
// off screen. It never keeps the program running once the main window has closed.
class ShowPieceWidget final : public QWidget {
    Q_OBJECT
public:
    ShowPieceWidget();
};
