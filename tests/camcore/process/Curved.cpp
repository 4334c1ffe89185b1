#include "Curved.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <string>

namespace curved {

Maps bendMaps(cv::Size size, const Bend& bend) {
    const double w = size.width;
    const double h = size.height;
    // Height of the sheet over the desk along the width, 0 at the spine.
    auto rise = [&](double x) {
        const double fromSpine = bend.spineRight ? w - 1 - x : x;
        return bend.depth * h * (1 - std::exp(-fromSpine / (bend.reach * w)));
    };
    // Arc length along the sheet from the outer edge, for each column of the desk.
    std::vector<double> arc(static_cast<std::size_t>(size.width), 0);
    for (int x = 1; x < size.width; ++x) {
        const int i = bend.spineRight ? x : size.width - 1 - x;
        const int before = bend.spineRight ? x - 1 : size.width - x;
        const double dz = rise(i) - rise(before);
        arc[static_cast<std::size_t>(i)] =
            arc[static_cast<std::size_t>(before)] + std::sqrt(1 + dz * dz);
    }
    const double eye = bend.eye * h;
    const double eyeX = bend.spineRight ? w - 1 : 0;
    const double eyeY = bend.eyeY * h;
    Maps maps{cv::Mat(size, CV_32F), cv::Mat(size, CV_32F)};
    for (int xo = 0; xo < size.width; ++xo) {
        // The desk column whose raised sheet the lens sees at xo.
        double x = xo;
        for (int round = 0; round < 8; ++round)
            x = std::clamp(eyeX + (xo - eyeX) * (eye - rise(x)) / eye, 0.0, w - 1);
        const double scale = (eye - rise(x)) / eye;
        const auto i = static_cast<std::size_t>(std::lround(x));
        const double source = bend.spineRight ? arc[i] : w - 1 - arc[i];
        for (int yo = 0; yo < size.height; ++yo) {
            maps.x.at<float>(yo, xo) = static_cast<float>(source);
            maps.y.at<float>(yo, xo) = static_cast<float>(eyeY + (yo - eyeY) * scale);
        }
    }
    return maps;
}

cv::Mat bent(const cv::Mat& picture, const Maps& maps, cv::Scalar outside) {
    cv::Mat result;
    cv::remap(picture, result, maps.x, maps.y, cv::INTER_LINEAR, cv::BORDER_CONSTANT, outside);
    return result;
}

TextPage textPage(cv::Size size, double letterHeight, unsigned seed) {
    TextPage text{cv::Mat(size, CV_8UC3, cv::Scalar(250, 248, 240)),
                  cv::Mat(size, CV_8UC1, cv::Scalar(255))};
    const double fontScale = letterHeight / 22.0; // Hershey simplex capitals are 22 units
    const int thickness = std::max(1, static_cast<int>(std::lround(letterHeight / 10)));
    const int pitch = static_cast<int>(std::lround(2.2 * letterHeight));
    const int margin = size.width / 12;
    cv::RNG rng(seed);
    for (int baseline = size.height / 12 + pitch; baseline < size.height - size.height / 12;
         baseline += pitch) {
        int x = margin;
        int end = x;
        while (true) {
            std::string word;
            const int letters = rng.uniform(2, 9);
            for (int i = 0; i < letters; ++i)
                word += static_cast<char>('a' + rng.uniform(0, 26));
            int base = 0;
            const cv::Size extent =
                cv::getTextSize(word, cv::FONT_HERSHEY_SIMPLEX, fontScale, thickness, &base);
            if (x + extent.width > size.width - margin)
                break;
            cv::putText(text.page, word, {x, baseline}, cv::FONT_HERSHEY_SIMPLEX, fontScale,
                        cv::Scalar(30, 30, 35), thickness, cv::LINE_AA);
            end = x + extent.width;
            x = end + static_cast<int>(letterHeight * 0.8);
        }
        cv::line(text.probe, {margin, baseline}, {end, baseline}, cv::Scalar(0), 2);
        ++text.lines;
    }
    return text;
}

Straightness straightness(const cv::Mat& probe) {
    cv::Mat dark;
    cv::subtract(cv::Scalar(255), probe, dark);
    // The lines where they cross the middle column.
    const int middle = probe.cols / 2;
    std::vector<double> starts;
    for (int y = 1; y + 1 < probe.rows; ++y) {
        const uchar v = dark.at<uchar>(y, middle);
        if (v > 100 && v >= dark.at<uchar>(y - 1, middle) && v > dark.at<uchar>(y + 1, middle))
            starts.push_back(y);
    }
    Straightness result;
    for (const double start : starts) {
        // Followed column by column outward, each step searching a few rows about the last.
        std::vector<cv::Point2d> points;
        for (const int direction : {-1, 1}) {
            double row = start;
            for (int x = direction < 0 ? middle : middle + 1; x >= 0 && x < probe.cols;
                 x += direction) {
                double sum = 0;
                double weight = 0;
                for (int y = static_cast<int>(row) - 5; y <= static_cast<int>(row) + 6; ++y) {
                    if (y < 0 || y >= probe.rows)
                        continue;
                    const double v = dark.at<uchar>(y, x);
                    sum += v * y;
                    weight += v;
                }
                if (weight < 200)
                    break; // the line's end
                row = sum / weight;
                points.emplace_back(x, row);
            }
        }
        if (points.size() < static_cast<std::size_t>(probe.cols / 4))
            continue;
        cv::Vec4f fit;
        cv::fitLine(points, fit, cv::DIST_L2, 0, 0.01, 0.01);
        double worst = 0;
        for (const cv::Point2d& p : points)
            worst = std::max(worst, std::abs((p.x - fit[2]) * fit[1] - (p.y - fit[3]) * fit[0]));
        result.worst = std::max(result.worst, worst);
        ++result.lines;
    }
    return result;
}

} // namespace curved
