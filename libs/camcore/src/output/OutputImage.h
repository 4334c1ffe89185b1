#pragma once

#include "output/PdfText.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

namespace camcore {

// What a capture hands to the writers: the finished picture and how to store it.
struct OutputImage {
    // QImage::Format_RGB888 for colour, QImage::Format_Grayscale8 for grey and black and white.
    QImage picture;
    // A black-and-white picture (Grayscale8 holding only 0 and 255) to be stored with one bit
    // per pixel where the format allows it.
    bool bilevel = false;
    // The camera's own JPEG of exactly this picture, when the capture left the frame unchanged.
    // The JPEG writers store these bytes instead of compressing again when the user's quality
    // is at least the camera's (see JpegWriter.h).
    std::shared_ptr<const std::vector<std::uint8_t>> cameraJpeg;
    int dpi = 300;
    int jpegQuality = 85; // 1..100
    // The recognised words of the picture, which a PDF page carries as searchable text.
    std::vector<PdfWord> words;
};

// The largest DPI every format can record: JFIF density is a 16-bit field.
inline constexpr int kMaxDpi = 65535;

// True when the writers can store `image`: a picture of a supported format, bilevel only for
// grey, DPI 1..kMaxDpi and quality 1..100. Writers refuse anything else.
bool isWritable(const OutputImage& image);

// Dots per metre for PNG pHYs and BMP headers: 300 DPI -> 11811.
int dotsPerMeter(int dpi);

} // namespace camcore
