#include "barcode/SymbolCandidates.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace camcore {
namespace {

constexpr int kMinSide = 20;            // pixels: 10 modules of 2 pixels, the smallest symbol read
constexpr double kMaxAspect = 4.5;      // rectangular Data Matrix goes up to 8 x 36 modules
constexpr double kMinFill = 0.45;       // of the bounding box; text lines are sparser once closed
constexpr std::size_t kMaxPlaces = 300; // a page full of text must not take seconds

} // namespace

std::vector<QRect> symbolCandidates(const cv::Mat& grey) {
    cv::Mat dark;
    // Local thresholding follows uneven light; the block spans several modules of large symbols.
    cv::adaptiveThreshold(grey, dark, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV, 51,
                          10);
    // Closing over the light modules merges a symbol into one blob.
    cv::morphologyEx(dark, dark, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_RECT, cv::Size(9, 9)));
    // The outer boundary of every blob, also of those inside a hole of another: the desk's
    // edge around a photographed sheet thresholds to a dark ring, and only the ring's outline
    // would be external.
    std::vector<std::vector<cv::Point>> contours;
    std::vector<cv::Vec4i> hierarchy;
    cv::findContours(dark, contours, hierarchy, cv::RETR_CCOMP, cv::CHAIN_APPROX_SIMPLE);

    const int maxSide = std::min(grey.cols, grey.rows) / 2;
    std::vector<QRect> places;
    for (std::size_t i = 0; i < contours.size(); ++i) {
        if (hierarchy[i][3] >= 0)
            continue; // the boundary of a hole
        const std::vector<cv::Point>& contour = contours[i];
        const cv::RotatedRect turned = cv::minAreaRect(contour);
        const double longSide = std::max(turned.size.width, turned.size.height);
        const double shortSide = std::min(turned.size.width, turned.size.height);
        if (shortSide < kMinSide || longSide > maxSide || longSide > kMaxAspect * shortSide)
            continue;
        if (cv::contourArea(contour) < kMinFill * longSide * shortSide)
            continue;
        const cv::Rect box = cv::boundingRect(contour);
        const int margin = std::max(box.width, box.height) / 3;
        places.emplace_back(box.x - margin, box.y - margin, box.width + 2 * margin,
                            box.height + 2 * margin);
        if (places.size() == kMaxPlaces)
            break;
    }
    return places;
}

} // namespace camcore
