#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace thumbnail {

// Stand-ins shown in a thumbnail's place, drawn to fill `box`.
QImage waitingPlaceholder(QSize box);
// A picture that could not be read: missing, truncated or not a picture at all.
QImage brokenPlaceholder(QSize box);
// A document without a picture of its own (a PDF added without a thumbnail), labelled "PDF".
QImage documentPlaceholder(QSize box, const QString& label);

} // namespace thumbnail
