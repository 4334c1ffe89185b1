#pragma once

#include <QFont>

// The font of annotation text, in the text box and on the canvas alike, so that the drawn text
// lands where the typed text stood: 50 points, the stored family first and CJK families after it
// for the systems that do not have it.
QFont annotationTextFont();
