#include "PageTurnScript.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace pageturn {
namespace {

constexpr int kPageWidth = 100;
constexpr int kPageHeight = 70;
constexpr double kNoise = 2.5; // grey levels of sensor noise, as the virtual camera's
const cv::Point2f kOutside(kWidth + 20, 60);

cv::Point2f between(cv::Point2f a, cv::Point2f b, double t) {
    return a + (b - a) * static_cast<float>(t);
}

} // namespace

Script::Script(unsigned seed, Subject subject)
    : m_random(seed), m_subject(subject),
      m_pageSize(subject == Subject::Book ? cv::Size(kWidth, kHeight)
                                          : cv::Size(kPageWidth, kPageHeight)),
      m_pageAt(subject == Subject::Book ? cv::Point2f(0, 0) : cv::Point2f(30, 24)) {
    // A wooden desk: grain across, darker towards the edges under the lamp.
    m_desk.create(kHeight, kWidth, CV_32F);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            m_desk.at<float>(y, x) = static_cast<float>(70 + 8 * std::sin(y * 0.9 + x * 0.05));
}

cv::Mat Script::pageContent(int page) const {
    return m_subject == Subject::Book ? spreadContent(page) : sheetContent(page);
}

// Two pages either side of a shaded spine, their lines running to a few pixels from the picture's
// edges.
cv::Mat Script::spreadContent(int spread) const {
    std::mt19937 layout(static_cast<unsigned>(spread) * 104729U);
    std::uniform_real_distribution<double> share(0.5, 1.0);
    std::uniform_int_distribution<int> chance(0, 9);
    cv::Mat content(kHeight, kWidth, CV_32F, cv::Scalar(225));
    const int half = kWidth / 2;
    for (const int left : {2, half + 4}) {
        for (int y = 3; y < kHeight - 2; y += 5) {
            if (chance(layout) < 1)
                continue;
            const int length = static_cast<int>((half - 7) * share(layout));
            cv::line(content, {left, y}, {left + length, y}, cv::Scalar(80), 2);
        }
    }
    for (int x = half - 3; x <= half + 2; ++x)
        content.col(x) *= 0.7 + 0.1 * std::abs(x - half + 0.5);
    return content;
}

cv::Mat Script::sheetContent(int page) const {
    // Lines of text every 5 pixels, each paragraph's lines of their own length, and on some pages
    // a picture: two pages differ as printed pages do, in where their lines end.
    std::mt19937 layout(static_cast<unsigned>(page) * 7919U);
    std::uniform_real_distribution<double> share(0.3, 1.0);
    std::uniform_int_distribution<int> chance(0, 9);
    cv::Mat content(kPageHeight, kPageWidth, CV_32F, cv::Scalar(225));
    for (int y = 7; y < kPageHeight - 6; y += 5) {
        if (chance(layout) < 2)
            continue; // a paragraph break
        const int length = static_cast<int>((kPageWidth - 12) * share(layout));
        cv::line(content, {6, y}, {6 + length, y}, cv::Scalar(80), 2);
    }
    if (chance(layout) < 4) {
        const int x = 8 + chance(layout) * 5;
        const int y = 8 + chance(layout) * 3;
        cv::rectangle(content, cv::Rect(x, y, 30, 20), cv::Scalar(130), cv::FILLED);
    }
    return content;
}

void Script::show(const Hand& hand, double newFrom, double blur) {
    cv::Mat page = pageContent(m_page);
    const int width = m_pageSize.width;
    if (newFrom < width) {
        // The leaf being turned: the next page right of it, its blank back and shadow over it.
        const int from = std::max(0, static_cast<int>(newFrom));
        pageContent(m_page + 1).colRange(from, width).copyTo(page.colRange(from, width));
        const int leaf = std::max(0, from - 6);
        page.colRange(leaf, from).setTo(cv::Scalar(240));
        if (leaf > 0)
            page.col(leaf - 1).setTo(cv::Scalar(150));
    }
    cv::Mat frame = m_desk.clone();
    const cv::Matx23f place(1, 0, m_pageAt.x, 0, 1, m_pageAt.y);
    cv::warpAffine(page, frame, place, frame.size(), cv::INTER_LINEAR, cv::BORDER_TRANSPARENT);
    // The lamp: brightest in the middle, 15% less in the corners.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x - kWidth / 2.0) / kWidth;
            const double dy = (y - kHeight / 2.0) / kHeight;
            frame.at<float>(y, x) *= static_cast<float>(m_light * (1 - 0.3 * (dx * dx + dy * dy)));
        }
    if (hand.shown) {
        const auto skin = cv::Scalar(150 * m_light);
        cv::line(frame, hand.from, hand.at, skin, 16);
        cv::ellipse(frame, hand.at, cv::Size(11, 8), 0, 0, 360, cv::Scalar(165 * m_light),
                    cv::FILLED);
    }
    if (blur > 0)
        cv::GaussianBlur(frame, frame, cv::Size(), blur);
    cv::Mat noise(frame.size(), CV_32F);
    cv::randn(noise, 0, kNoise);
    frame += noise;
    cv::Mat grey;
    frame.convertTo(grey, CV_8U);
    if (m_detector.feed(grey))
        m_fired.push_back(m_frame);
    ++m_frame;
}

Settled Script::holdStill(int frames) {
    const Settled settled{m_frame, m_frame + frames};
    for (int i = 0; i < frames; ++i)
        show({});
    return settled;
}

void Script::still(int frames) {
    holdStill(frames);
}

void Script::turnPage(int stillFrames) {
    const int width = m_pageSize.width;
    const cv::Point2f edge(m_pageAt.x + static_cast<float>(width) - 4, m_pageAt.y + 30);
    for (int i = 1; i <= 6; ++i)
        show({true, between(kOutside, edge, i / 6.0), kOutside + cv::Point2f(10, 0)});
    for (int i = 1; i <= 8; ++i) {
        const double from = width * (1 - i / 8.0);
        const cv::Point2f at(m_pageAt.x + static_cast<float>(from) + 3, edge.y);
        show({true, at, kOutside + cv::Point2f(10, 0)}, from);
    }
    ++m_page;
    const cv::Point2f left(m_pageAt.x + 3, edge.y);
    for (int i = 1; i <= 6; ++i)
        show({true, between(left, kOutside, i / 6.0), kOutside + cv::Point2f(10, 0)});
    for (int i = 0; i < 8; ++i)
        show({}, 1e9, 2.0 - 0.2 * i); // focusing takes half a second
    m_due.push_back(holdStill(stillFrames));
}

void Script::liftLeaf(int stillFrames) {
    const int width = m_pageSize.width;
    const cv::Point2f edge(m_pageAt.x + static_cast<float>(width) - 4, m_pageAt.y + 30);
    const cv::Point2f arm = kOutside + cv::Point2f(10, 0);
    for (int i = 1; i <= 6; ++i)
        show({true, between(kOutside, edge, i / 6.0), arm});
    for (int i = 1; i <= 8; ++i) {
        const double lifted = i <= 4 ? i / 8.0 : (8 - i) / 8.0; // up to half the page and back
        const double from = width * (1 - lifted);
        show({true, cv::Point2f(m_pageAt.x + static_cast<float>(from) + 3, edge.y), arm}, from);
    }
    for (int i = 1; i <= 6; ++i)
        show({true, between(edge, kOutside, i / 6.0), arm});
    holdStill(stillFrames);
}

void Script::handPasses(int stillFrames) {
    const cv::Point2f start(40, kHeight + 20);
    const cv::Point2f over(120, 40);
    const cv::Point2f gone(kWidth + 20, 30);
    for (int i = 1; i <= 20; ++i) {
        const cv::Point2f at =
            i <= 14 ? between(start, over, i / 14.0) : between(over, gone, (i - 14) / 6.0);
        show({true, at, cv::Point2f(at.x + 10, kHeight + 30)});
    }
    holdStill(stillFrames);
}

void Script::handRests(int restFrames, int stillFrames) {
    const cv::Point2f start(90, kHeight + 20);
    const cv::Point2f rest(m_pageAt.x + 50, m_pageAt.y + 40);
    const cv::Point2f arm(100, kHeight + 30);
    for (int i = 1; i <= 6; ++i)
        show({true, between(start, rest, i / 6.0), arm});
    std::uniform_real_distribution<float> tremor(-0.4F, 0.4F);
    for (int i = 0; i < restFrames; ++i)
        show({true, rest + cv::Point2f(tremor(m_random), tremor(m_random)), arm});
    for (int i = 1; i <= 6; ++i)
        show({true, between(rest, start, i / 6.0), arm});
    holdStill(stillFrames);
}

void Script::slidePage(int stillFrames) {
    // Pushed from the right towards the left of the desk and back, so the page stays in view.
    const bool left = m_pageAt.x > 20;
    const cv::Point2f shift(left ? -20 : 20, left ? 8 : -8);
    const auto grip = [this, left] {
        return cv::Point2f(left ? m_pageAt.x + kPageWidth + 4 : m_pageAt.x - 4, m_pageAt.y + 35);
    };
    const cv::Point2f outside = left ? kOutside : cv::Point2f(-20, 60);
    const cv::Point2f arm = outside + cv::Point2f(left ? 10 : -10, 0);
    for (int i = 1; i <= 6; ++i)
        show({true, between(outside, grip(), i / 6.0), arm});
    const cv::Point2f from = m_pageAt;
    for (int i = 1; i <= 20; ++i) {
        m_pageAt = from + shift * (i / 20.0F);
        show({true, grip(), arm});
    }
    const cv::Point2f end = grip();
    for (int i = 1; i <= 6; ++i)
        show({true, between(end, outside, i / 6.0), arm});
    m_allowed.push_back(holdStill(stillFrames));
}

void Script::flicker(int frames, int stillFrames) {
    std::uniform_real_distribution<double> jitter(-0.03, 0.03);
    const double base = m_light;
    for (int i = 0; i < frames; ++i) {
        m_light = base * (1 + 0.08 * std::sin(i * 1.4) + jitter(m_random));
        show({});
    }
    m_light = base * 1.1;
    holdStill(stillFrames);
}

} // namespace pageturn
