#pragma once

#include "ZoApi.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

// Engine tests run with three virtual cameras and a trace file; both are set before the engine
// first reads its environment.
namespace engine_test {

QString tracePath();
QStringList traceLines();

// A shown widget of the given size to draw into.
std::unique_ptr<QWidget> makeWindow(int width, int height);
ZoWindow handleOf(QWidget& widget);

// Parses "l.t.r.b".
QRect parseVideoRect(const char* text);
QRect videoRectEx(int cam);

// Waits until the widget shows a picture (the centre of the video is not black). Under
// ThreadSanitizer beside other suites a first picture has taken over 10 s.
bool waitForPicture(QWidget& widget, int timeoutMs = 30000);
QImage grabVideo(QWidget& widget, int cam);
double meanLevel(const QImage& image);

} // namespace engine_test
