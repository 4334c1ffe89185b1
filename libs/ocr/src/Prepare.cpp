#include "Prepare.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

namespace quilocr {

namespace {

// Measured on the generated pages (tests/ocr/PageCorpus, all 18: a page photographed at 3264
// pixels and reduced to 1200 with nearest-pixel scaling), mean character accuracy English /
// Chinese / mixed:
//   as handed over, Tesseract thresholding it                   0.911 / 0.769 / 0.823
//   background flattened                                        0.999 / 0.930 / 0.964
//   background flattened, 1.5x (1800 wide)                      1.000 / 0.988 / 0.983
//   background flattened, 2x (2400 wide)                        1.000 / 0.984 / 0.973
//   background flattened, 2.5x (3000 wide), Otsu                0.999 / 0.919 / 0.911
//   2x, not flattened                                           0.889 / 0.528 / 0.771
// Flattening matters most: under a lamp the far side of the page is a third darker and one
// global threshold loses it. Scaling up then lifts Chinese by six points: the strokes of a
// 21-pixel character in a nearest-scaled picture are one or two pixels wide, and linear
// interpolation gives the recogniser smooth strokes at the size it was trained on. Thresholding
// the flattened page ourselves (Otsu per tile: 0.985 Chinese, 0.956 mixed at 2x; Sauvola: 0.941,
// 0.972) did no better than Tesseract's own threshold of the flattened picture.
constexpr double kWorkingWidth = 1800;
constexpr double kMaxUpscale = 2;
// As leptonica's own deskew: its binarising threshold, and the least skew and confidence it acts
// on.
constexpr int kSkewThreshold = 130;
constexpr double kMinSkewConfidence = 3.0;
constexpr double kMinSkewDegrees = 0.1;

} // namespace

PixHandle readPicture(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return PixHandle(pixRead(path.c_str()));
}

Prepared prepare(Pix& picture, int readWidth, bool straighten) {
    const PixHandle grey(pixConvertTo8(&picture, 0));
    if (!grey)
        return {};
    const int width = pixGetWidth(grey.get());
    const double reduce = readWidth > 0 && width > readWidth ? double(readWidth) / width : 1.0;
    const double scale = reduce * std::min(kMaxUpscale, kWorkingWidth / (width * reduce));
    // One resampling from the file to the working size: linear up, area-averaged down.
    PixHandle sized(scale > 1   ? pixScaleGrayLI(grey.get(), float(scale), float(scale))
                    : scale < 1 ? pixScaleAreaMap(grey.get(), float(scale), float(scale))
                                : pixCopy(nullptr, grey.get()));
    if (!sized)
        return {};
    // Divides out the light of the room, estimated from the paper between the letters.
    PixHandle flat(pixBackgroundNormSimple(sized.get(), nullptr, nullptr));
    if (!flat)
        return {};
    // A page photographed 4 degrees askew lost nearly all its English lines (their words run
    // into the next line's), while its Chinese ones, shorter and boxier, came through. Leptonica
    // measures the skew of the text lines and turns the page level; it leaves a page that is
    // level, or whose skew it cannot measure, as it is.
    double angle = 0;
    if (straighten) {
        const PixHandle binary(pixConvertTo1(flat.get(), kSkewThreshold));
        l_float32 skew = 0, confidence = 0;
        if (binary && pixFindSkew(binary.get(), &skew, &confidence) == 0 &&
            confidence >= kMinSkewConfidence && std::abs(skew) >= kMinSkewDegrees) {
            if (PixHandle level{pixRotate(flat.get(), float(skew * M_PI / 180), L_ROTATE_AREA_MAP,
                                          L_BRING_IN_WHITE, 0, 0)}) {
                flat = std::move(level);
                angle = skew;
            }
        }
    }
    return {std::move(flat), scale, angle};
}

BoxToFile::BoxToFile(const Prepared& prepared, int fileWidth, int fileHeight)
    : m_scale(prepared.scale), m_cos(std::cos(prepared.angle * M_PI / 180)),
      m_sin(std::sin(prepared.angle * M_PI / 180)),
      m_centreX(pixGetWidth(prepared.pix.get()) / 2.0),
      m_centreY(pixGetHeight(prepared.pix.get()) / 2.0), m_width(fileWidth), m_height(fileHeight) {}

std::array<int, 4> BoxToFile::operator()(int left, int top, int right, int bottom) const {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const auto& [x, y] :
         {std::pair{left, top}, {right, top}, {left, bottom}, {right, bottom}}) {
        // The page was turned clockwise by the angle (y pointing down): turned back here.
        const double dx = x - m_centreX, dy = y - m_centreY;
        const double fileX = (m_centreX + dx * m_cos + dy * m_sin) / m_scale;
        const double fileY = (m_centreY - dx * m_sin + dy * m_cos) / m_scale;
        minX = std::min(minX, fileX);
        minY = std::min(minY, fileY);
        maxX = std::max(maxX, fileX);
        maxY = std::max(maxY, fileY);
    }
    const auto clip = [](double value, int limit) {
        return std::clamp(int(value), 0, limit);
    };
    return {clip(std::floor(minX), m_width), clip(std::floor(minY), m_height),
            clip(std::ceil(maxX), m_width), clip(std::ceil(maxY), m_height)};
}

} // namespace quilocr
