#pragma once

// Turning the picture the caller hands over into what Tesseract reads best: grey, with its text
// at the height the models were trained on, and with the light of the room taken out.

#include "Handles.h"

#include <array>
#include <string>

namespace quilocr {

// The picture in the file, or null when the file is missing or holds no picture.
PixHandle readPicture(const std::string& path);

struct Prepared {
    PixHandle pix;    // what Tesseract reads
    double scale = 1; // prepared pixels per pixel of the file
    double angle = 0; // degrees the scaled picture was turned clockwise about its centre
};

// `readWidth` is the width the picture is read as (a wider picture is first treated as if reduced
// to it); 0 reads it at its own width. With `straighten`, a page lying a few degrees askew is
// turned level (`angle` says how far, for boxes to be mapped back). Null pix when the picture
// cannot be converted.
Prepared prepare(Pix& picture, int readWidth, bool straighten);

// Takes a box of the prepared picture back to the file's pixels: turned back about the prepared
// picture's centre, unscaled, widened to the box of its four corners (outward, so it still
// covers its ink) and clipped to the file's picture. Gives left, top, right, bottom.
class BoxToFile {
public:
    BoxToFile(const Prepared& prepared, int fileWidth, int fileHeight);
    std::array<int, 4> operator()(int left, int top, int right, int bottom) const;

private:
    double m_scale, m_cos, m_sin, m_centreX, m_centreY;
    int m_width, m_height;
};

} // namespace quilocr
