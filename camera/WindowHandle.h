#pragma once

#include "ZoApi.h"

#include <QWidget>

// The handle the engine draws the video behind: the widget's native window.
inline ZoWindow handleOf(QWidget* widget) {
    return static_cast<ZoWindow>(widget->winId());
}
