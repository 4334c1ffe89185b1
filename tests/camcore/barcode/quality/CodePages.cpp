#include "CodePages.h"

#include "CodeSamples.h"

#include <QtGlobal>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <stdexcept>

namespace barcode_corpus {
namespace {

constexpr int kWidth = 3264, kHeight = 2448;
// Codes are drawn at this many pixels a module and then warped onto the page, so that modules
// of a fraction of a pixel land as a lens would render them.
constexpr int kSourceModule = 6;
constexpr float kPaper = 0.88f, kDesk = 0.22f, kInk = 0.06f;
constexpr double kGain = 270; // grey level of a white surface under the lamp's brightest part
// Where codes may go: the sheet (3000 x 2250 at the centre of the frame) less a margin.
const cv::Rect kArea(200, 160, kWidth - 400, kHeight - 320);

// Portable draws from a seeded engine (the standard distributions differ between libraries).
class Dice {
public:
    explicit Dice(std::uint32_t seed) : engine_(seed) {}
    double between(double low, double high) {
        return low + (high - low) * (engine_() / 4294967296.0);
    }
    std::uint32_t next() { return engine_(); }

private:
    std::mt19937 engine_;
};

struct Look {
    double module = 4;    // page pixels a module
    double angle = 0;     // degrees
    double keystone = 0;  // how much shorter the far side is
    bool tiltedUp = true; // the far side is the top (else the left)
    float ink = kInk;
    double glare = 0; // grey levels the reflection adds at its peak
};

Look lookFor(Condition condition, double sheetAngle, double pageModule, Dice& dice) {
    Look look;
    look.module = pageModule > 0 ? pageModule : dice.between(3.5, 5);
    look.angle = sheetAngle + dice.between(-1.5, 1.5);
    switch (condition) {
    case Condition::Rotated:
        look.module = dice.between(3, 4);
        look.angle = dice.between(0, 360);
        break;
    case Condition::Perspective:
        look.keystone = dice.between(0.15, 0.35);
        look.tiltedUp = dice.next() % 2 == 0;
        break;
    case Condition::LowContrast:
        look.ink = static_cast<float>(kPaper * dice.between(0.55, 0.7));
        break;
    case Condition::Glare:
        look.glare = dice.between(80, 200);
        break;
    case Condition::SmallModules:
        look.module = dice.between(1.3, 2.2);
        break;
    case Condition::Crowded:
        look.module = dice.between(2.5, 3.5);
        break;
    default:
        break;
    }
    return look;
}

using Quad = std::array<cv::Point2f, 4>; // top-left, top-right, bottom-right, bottom-left

// The corners of a w x h code seen with `look`, around its centre.
Quad quadFor(cv::Size size, const Look& look) {
    const double scale = look.module / kSourceModule;
    const double hw = size.width * scale / 2, hh = size.height * scale / 2;
    std::array<cv::Point2d, 4> corners = {cv::Point2d(-hw, -hh), cv::Point2d(hw, -hh),
                                          cv::Point2d(hw, hh), cv::Point2d(-hw, hh)};
    for (cv::Point2d& corner : corners) {
        // The far side shrinks towards the axis and the code shortens along the tilt.
        if (look.tiltedUp) {
            corner.x *= 1 - look.keystone * (0.5 - corner.y / (2 * hh));
            corner.y *= 1 - look.keystone / 2;
        } else {
            corner.y *= 1 - look.keystone * (0.5 - corner.x / (2 * hw));
            corner.x *= 1 - look.keystone / 2;
        }
    }
    const double radians = look.angle * CV_PI / 180;
    const double c = std::cos(radians), s = std::sin(radians);
    Quad quad;
    for (int i = 0; i < 4; ++i)
        quad[i] = cv::Point2f(static_cast<float>(c * corners[i].x - s * corners[i].y),
                              static_cast<float>(s * corners[i].x + c * corners[i].y));
    return quad;
}

struct Placed {
    cv::Mat ink; // CV_32F, 1 where the drawn code is dark
    Quad quad;   // on the page
    Look look;
};

cv::Rect boundsOf(const Quad& quad) {
    return cv::boundingRect(std::vector<cv::Point2f>(quad.begin(), quad.end()));
}

// Rows from the top, codes in the order given, each row as tall as its tallest code.
void packIntoRows(std::vector<Placed>& codes, int gap, Dice& dice, const std::string& page) {
    double x = kArea.x, y = kArea.y, rowHeight = 0;
    for (Placed& code : codes) {
        const cv::Rect box = boundsOf(code.quad);
        if (x + box.width > kArea.br().x) {
            x = kArea.x;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        if (y + box.height > kArea.br().y)
            throw std::runtime_error(page + ": the codes do not fit on the sheet");
        const double dy = dice.between(0, gap / 2.0);
        const cv::Point2f shift(static_cast<float>(x - box.x), static_cast<float>(y + dy - box.y));
        for (cv::Point2f& corner : code.quad)
            corner += shift;
        x += box.width + gap + dice.between(0, gap);
        rowHeight = std::max(rowHeight, box.height + dy);
    }
}

// Darkens the sheet's reflectance where the code's modules lie.
void printCode(cv::Mat& reflectance, const Placed& code) {
    const double scale = code.look.module / kSourceModule;
    cv::Mat ink = code.ink;
    if (scale < 1) // what the lens averages over one page pixel
        cv::GaussianBlur(code.ink, ink, cv::Size(), 0.45 / scale);
    const cv::Rect roi =
        (boundsOf(code.quad) + cv::Size(4, 4) - cv::Point(2, 2)) & cv::Rect(0, 0, kWidth, kHeight);
    const cv::Point2f source[4] = {{0, 0},
                                   {static_cast<float>(ink.cols), 0},
                                   {static_cast<float>(ink.cols), static_cast<float>(ink.rows)},
                                   {0, static_cast<float>(ink.rows)}};
    cv::Point2f target[4];
    for (int i = 0; i < 4; ++i)
        target[i] =
            code.quad[i] - cv::Point2f(static_cast<float>(roi.x), static_cast<float>(roi.y));
    cv::Mat cover;
    cv::warpPerspective(ink, cover, cv::getPerspectiveTransform(source, target), roi.size(),
                        cv::INTER_LINEAR, cv::BORDER_CONSTANT, 0);
    cv::Mat area = reflectance(roi);
    area -= cover * (kPaper - code.look.ink);
}

// A bright, soft reflection over part of the code.
void addGlare(cv::Mat& light, const Placed& code, Dice& dice) {
    const cv::Rect box = boundsOf(code.quad);
    const double radius = dice.between(0.15, 0.3) * std::max(box.width, box.height);
    const cv::Point2d centre(box.x + box.width * dice.between(0.2, 0.8),
                             box.y + box.height * dice.between(0.2, 0.8));
    const int reach = static_cast<int>(3 * radius);
    const cv::Rect roi = cv::Rect(static_cast<int>(centre.x) - reach,
                                  static_cast<int>(centre.y) - reach, 2 * reach, 2 * reach) &
                         cv::Rect(0, 0, kWidth, kHeight);
    for (int y = roi.y; y < roi.br().y; ++y) {
        float* row = light.ptr<float>(y);
        for (int x = roi.x; x < roi.br().x; ++x) {
            const double d2 = (x - centre.x) * (x - centre.x) + (y - centre.y) * (y - centre.y);
            row[x] += static_cast<float>(code.look.glare * std::exp(-d2 / (2 * radius * radius)));
        }
    }
}

// The lamp: brightest at one corner, falling off by up to 30% towards the others.
cv::Mat lampLight(Dice& dice) {
    cv::Mat corners(2, 2, CV_32F);
    for (int i = 0; i < 4; ++i)
        corners.at<float>(i / 2, i % 2) = static_cast<float>(kGain * dice.between(0.7, 1.0));
    cv::Mat light;
    cv::resize(corners, light, cv::Size(kWidth, kHeight), 0, 0, cv::INTER_LINEAR);
    return light;
}

// The value of a crowded page's second copy of a linear code. zxing-cpp 1.4.0 stops on two
// linear codes of the same format and value in one picture, and the reader then reads the page
// again in parts (ReaderTest covers that); the corpus measures the ordinary path, so the copies
// differ. Matrix codes are repeated as they are.
std::string secondValue(const barcode_test::Sample& sample) {
    static const std::map<std::string, std::string> values = {
        {"Code128", "C128-0043-y"},  {"Code39", "CODE39-43"},   {"Code93", "CODE93-43"},
        {"EAN-13", "4006381333931"}, {"EAN-8", "73513537"},     {"UPC-A", "012345678905"},
        {"UPC-E", "04252614"},       {"ITF", "00012345678905"}, {"Codabar", "B12345C"},
    };
    const auto other = values.find(sample.name);
    return other == values.end() ? sample.value : other->second;
}

std::string reportedValue(const std::string& format, const std::string& value) {
    // Codabar's start and stop characters are not part of the value.
    return format == "Codabar" ? value.substr(1, value.size() - 2) : value;
}

} // namespace

const char* conditionName(Condition condition) {
    switch (condition) {
    case Condition::Plain:
        return "Plain";
    case Condition::Rotated:
        return "Rotated";
    case Condition::Perspective:
        return "Perspective";
    case Condition::Blurred:
        return "Blurred";
    case Condition::LowContrast:
        return "LowContrast";
    case Condition::Glare:
        return "Glare";
    case Condition::SmallModules:
        return "SmallModules";
    case Condition::Crowded:
        return "Crowded";
    }
    return "?";
}

bool fullCorpus() {
    return qEnvironmentVariableIntValue("BARCODE_CORPUS_FULL") == 1;
}

int pagesPerCondition() {
    return fullCorpus() ? 24 : 2;
}

Page renderPage(Condition condition, int index) {
    Page page;
    page.description = std::string(conditionName(condition)) + " page " + std::to_string(index);
    Dice dice(20261207u + 7919u * static_cast<std::uint32_t>(condition) +
              104729u * static_cast<std::uint32_t>(index));

    const double sheetAngle = dice.between(-2, 2);
    // Blur is the lens's, the same over the page, so a blurred page has one module size.
    const double pageModule = condition == Condition::Blurred ? dice.between(3.5, 5) : 0;
    const int copies = condition == Condition::Crowded ? 2 : 1;
    std::vector<Placed> codes;
    for (int copy = 0; copy < copies; ++copy) {
        for (const barcode_test::Sample& sample : barcode_test::samples()) {
            Placed code;
            const std::string value = copy == 0 ? sample.value : secondValue(sample);
            const QImage image = barcode_test::drawCode(sample.format, value, kSourceModule);
            cv::Mat(image.height(), image.width(), CV_8UC1, const_cast<uchar*>(image.constBits()),
                    static_cast<std::size_t>(image.bytesPerLine()))
                .convertTo(code.ink, CV_32F, -1.0 / 255, 1.0);
            code.look = lookFor(condition, sheetAngle, pageModule, dice);
            code.quad = quadFor(code.ink.size(), code.look);
            codes.push_back(std::move(code));
            page.codes.push_back({sample.name, reportedValue(sample.name, value)});
        }
    }
    // Shuffled so that no format always sits in the same place.
    std::vector<int> order(codes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    for (std::size_t i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[dice.next() % (i + 1)]);
    std::vector<Placed> shuffled;
    for (int i : order)
        shuffled.push_back(std::move(codes[static_cast<std::size_t>(i)]));
    packIntoRows(shuffled, condition == Condition::Crowded ? 30 : 70, dice, page.description);

    cv::Mat reflectance(kHeight, kWidth, CV_32F, cv::Scalar(kDesk));
    cv::RotatedRect sheet(cv::Point2f(kWidth / 2.0f, kHeight / 2.0f), cv::Size2f(3000, 2250),
                          static_cast<float>(sheetAngle));
    cv::Point2f sheetCorners[4];
    sheet.points(sheetCorners);
    std::vector<cv::Point> outline(sheetCorners, sheetCorners + 4);
    cv::fillConvexPoly(reflectance, outline, cv::Scalar(kPaper), cv::LINE_AA);
    for (const Placed& code : shuffled)
        printCode(reflectance, code);

    cv::Mat light = lampLight(dice);
    cv::Mat seen = reflectance.mul(light);
    for (const Placed& code : shuffled)
        if (code.look.glare > 0)
            addGlare(seen, code, dice);
    const double blur = pageModule > 0 ? pageModule * dice.between(0.3, 0.5) : 0.6;
    cv::GaussianBlur(seen, seen, cv::Size(), blur);
    cv::Mat noise(kHeight, kWidth, CV_32F);
    cv::RNG(dice.next()).fill(noise, cv::RNG::NORMAL, 0, dice.between(2, 4));
    seen += noise;

    page.picture = QImage(kWidth, kHeight, QImage::Format_Grayscale8);
    cv::Mat out(kHeight, kWidth, CV_8UC1, page.picture.bits(),
                static_cast<std::size_t>(page.picture.bytesPerLine()));
    seen.convertTo(out, CV_8U);
    return page;
}

} // namespace barcode_corpus
