#pragma once

class QApplication;

// Installs skin sheet `index` (1..6) for the whole program. Any other index changes nothing.
void applySkinSheet(int index);

// The look every start begins with: Qt's own Fusion style, so that no desktop theme changes what
// the sheets draw, the first skin and a light palette.
void installDefaultSkin(QApplication& application);
