#pragma once

#include <QImage>
#include <QRect>

class QWidget;

// What the X server shows, so what the user sees.
namespace app_test {

// The screen's pixels in `rect` of `widget`.
QImage onScreen(const QWidget* widget, QRect rect);
// The camera's picture has the page's text and the desk in it: neither one flat colour (black,
// or the grey of a window background) nor empty.
bool looksLikeThePicture(const QImage& image);

} // namespace app_test
