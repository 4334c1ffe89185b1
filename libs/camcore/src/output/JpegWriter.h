#pragma once

#include "output/OutputImage.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <span>

namespace camcore {

// A JPEG of `picture` at `quality` (1..100): 4:2:0 chroma for Format_RGB888, a one-component
// JPEG for Format_Grayscale8. Its JFIF APP0 has no density yet. Empty for any other format or
// when compression fails.
QByteArray encodeJpeg(const QImage& picture, int quality);

// True when the JPEG of `image` is the camera's own: it is present, a complete JPEG of the
// picture's size and colour kind, and the user's quality is at least the camera's estimated
// quality, so storing it loses nothing the user asked for and saves a compression (~30 ms at
// 8 MP) and a second generation of JPEG artefacts.
bool passesCameraJpeg(const OutputImage& image);

// The file of a colour capture that keeps every pixel of the camera's `jpeg`, made without
// decoding it: the camera's bytes with JFIF density = `dpi`, when the user's `quality` is at least
// the camera's and the JPEG is complete and in colour. Empty otherwise (the caller decodes and
// encodes as usual).
QByteArray cameraJpegFile(std::span<const std::uint8_t> jpeg, int quality, int dpi);

// The JPEG file of a capture: the camera's JPEG when passesCameraJpeg(), a fresh compression
// otherwise; JFIF density = image.dpi either way. The PDF writer embeds these same bytes.
// Empty when !isWritable(image) or compression fails.
QByteArray jpegBytes(const OutputImage& image);

} // namespace camcore
