#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>

#include <functional>

// The pieces of a capture's file name. Names and paths are local 8-bit byte strings.
namespace naming {

// The automatic rule's name: the prefix, then the counter zero-filled to `digits` with its sign
// inside the padding ("Image", -3, 5 -> "Image-0003"); a wider counter keeps all its digits. At
// most 99 bytes.
QByteArray automaticName(const QByteArray& prefix, int digits, int counter);

// The counter after a name was made; past the largest value it starts again at 0.
int advancedCounter(int counter, int step);

// The barcode rule's name from the engine's reading: the content of the first barcode element
// with its XML entities decoded, or the whole text when it holds none; confined, and cut at a
// character to at most 240 bytes so that the file name with its suffixes and extension stays
// within 255. "未命名" when that leaves nothing.
QByteArray barcodeName(const QByteArray& engineText);

// The date rule's name: "2024-03-05_142501".
QByteArray dateName(const QDateTime& time);

// A name that stays inside the work folder and can be handed over whole: every "/" and control
// character (NUL, line breaks, DEL) becomes "_", every "@@" becomes "@_", and "." and ".." become
// empty.
QByteArray confined(QByteArray name);

// The paths of a capture's further images, "x_1.jpg" .. "x_<count>.jpg", made from `path` by
// cutting the extension's length off its end.
QByteArrayList numberedPaths(const QByteArray& path, const QByteArray& extension, int count);

// `base` + `extension`, or the first of `base`_2, `base`_3, ... + `extension` that `taken` does
// not hold.
QByteArray freshPath(const QByteArray& base, const QByteArray& extension,
                     const std::function<bool(const QByteArray&)>& taken);

} // namespace naming
