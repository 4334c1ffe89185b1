#pragma once

#include <QRect>
#include <QSize>

#include <optional>

// Where the sub camera's picture goes in the main picture: the floating window's place over
// the video, scaled from screen pixels to picture pixels.
struct InsetFigures {
    int width = 0;
    int height = 0;
    int x = 0; // from the video's left edge to the window's left edge
    int y = 0; // from the window's bottom edge to the video's bottom edge
};

// `video` is the displayed video on the screen, `window` the floating window on the screen,
// `picture` the captured main picture's size. The ratios are single-precision floats and the
// products are truncated toward zero, as the engine's callers always computed them: 136 x 100
// over 2592 x 1944 shown in 720 x 540 gives 489 x 359, not 489 x 360. Empty when the video or
// the picture has no area, which leaves the ratios undefined.
std::optional<InsetFigures> insetFigures(QSize picture, const QRect& video, const QRect& window);
