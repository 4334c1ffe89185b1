#include "PageTurnScript.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace pageturn {
namespace {

constexpr int kPageWidth = 100;
constexpr int kPageHeight = 70;
// A book lying open on the desk: two pages of 66 x 92 pixels, about a metre under the camera.
constexpr int kBookWidth = 132;
constexpr int kBookHeight = 92;
constexpr double kPi = 3.14159265358979;
// A line of prose at this scale: its letters' strokes blur into a grey pixel row.
constexpr double kProse = 150;
constexpr double kNoise = 2.5; // grey levels of sensor noise, as the virtual camera's
const cv::Point2f kOutside(kWidth + 20, 60);

bool onDesk(Subject subject) {
    return subject == Subject::BookOnDesk || subject == Subject::FlatBookOnDesk;
}

cv::Point2f between(cv::Point2f a, cv::Point2f b, double t) {
    return a + (b - a) * static_cast<float>(t);
}

} // namespace

Script::Script(unsigned seed, Subject subject)
    : m_random(seed), m_noise(seed), m_subject(subject),
      m_pageSize(subject == Subject::Book ? cv::Size(kWidth, kHeight)
                 : onDesk(subject)        ? cv::Size(kBookWidth, kBookHeight)
                                          : cv::Size(kPageWidth, kPageHeight)),
      m_pageAt(subject == Subject::Book ? cv::Point2f(0, 0)
               : onDesk(subject)        ? cv::Point2f(14, 14)
                                        : cv::Point2f(30, 24)) {
    // A wooden desk: grain across, darker towards the edges under the lamp.
    m_desk.create(kHeight, kWidth, CV_32F);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            m_desk.at<float>(y, x) = static_cast<float>(70 + 8 * std::sin(y * 0.9 + x * 0.05));
}

cv::Mat Script::pageContent(int page) const {
    switch (m_subject) {
    case Subject::Book:
        return spreadContent(page);
    case Subject::BookOnDesk:
    case Subject::FlatBookOnDesk:
        return proseContent(page);
    case Subject::Sheet:
        break;
    }
    return sheetContent(page);
}

// Plain prose on both pages: a line every 3 pixels, thin and grey as print is at this scale,
// paragraphs of 3 to 9 lines without a gap between them, the first line indented and the last
// one ending early. Spreads differ only in where their paragraphs end.
cv::Mat Script::proseContent(int spread) const {
    cv::Mat content(kBookHeight, kBookWidth, CV_32F, cv::Scalar(228));
    const int half = kBookWidth / 2;
    for (int side = 0; side < 2; ++side) {
        std::mt19937 layout(static_cast<unsigned>(2 * spread + side) * 15485863U);
        std::uniform_int_distribution<int> lines(3, 9);
        std::uniform_real_distribution<double> last(0.1, 0.9);
        const int left = side == 0 ? 6 : half + 5;
        const int width = half - 11;
        int remaining = lines(layout);
        bool opening = layout() % 2 == 0; // the page may begin inside a paragraph
        for (int y = 8; y < kBookHeight - 8; y += 3) {
            const int indent = opening ? 3 : 0;
            const int length =
                remaining == 1 ? static_cast<int>(width * last(layout)) : width - indent;
            cv::line(content, {left + indent, y}, {left + indent + length, y}, cv::Scalar(kProse),
                     1);
            opening = --remaining == 0;
            if (opening)
                remaining = lines(layout);
        }
        // The page number, at the foot of the page's outer side.
        const int x = side == 0 ? left : left + width - 6;
        cv::line(content, {x, kBookHeight - 4}, {x + 5, kBookHeight - 4}, cv::Scalar(kProse), 1);
    }
    return content;
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

// The spread with its right leaf lifted by `angle` (0 lies flat on the right, pi on the left):
// the next spread's right page uncovered beside it, the leaf foreshortened and less lit the
// steeper it stands, and its shadow on the page it stands over.
cv::Mat Script::withLeaf(double angle) const {
    cv::Mat spread = pageContent(m_page);
    const cv::Mat next = pageContent(m_page + 1);
    const int width = spread.cols;
    const int half = width / 2;
    next.colRange(half, width).copyTo(spread.colRange(half, width));
    const double c = std::cos(angle);
    const int shown = std::max(2, static_cast<int>(std::lround(half * std::abs(c))));
    const cv::Rect leaf(c >= 0 ? half : half - shown, 0, shown, spread.rows);
    const cv::Mat face =
        c >= 0 ? pageContent(m_page).colRange(half, width) : next.colRange(0, half);
    cv::Mat squeezed;
    cv::resize(face, squeezed, leaf.size(), 0, 0, cv::INTER_AREA);
    squeezed *= 0.75 + 0.25 * std::abs(c);
    if (shown <= 3)
        squeezed.setTo(cv::Scalar(240)); // edge-on: only the leaf's edge, catching the lamp
    const int shadow = std::min(8, half - shown);
    const cv::Rect under(c >= 0 ? half + shown : half - shown - shadow, 0, shadow, spread.rows);
    if (shadow > 0) {
        cv::Mat shaded = spread(under);
        shaded *= 0.85;
    }
    squeezed.copyTo(spread(leaf));
    return spread;
}

cv::Point2f Script::leafEdge(double angle) const {
    const double half = m_pageSize.width / 2.0;
    return {m_pageAt.x + static_cast<float>(half + half * std::cos(angle)),
            m_pageAt.y + static_cast<float>(m_pageSize.height) * 0.45F};
}

void Script::place(const cv::Mat& page, cv::Mat& frame) const {
    if (!onDesk(m_subject)) {
        const cv::Matx23f at(1, 0, m_pageAt.x, 0, 1, m_pageAt.y);
        cv::warpAffine(page, frame, at, frame.size(), cv::INTER_LINEAR, cv::BORDER_TRANSPARENT);
        return;
    }
    // Pages curved up towards the spine: seen from above they are squeezed across near it,
    // and stand taller there, nearer the camera, so that lines and the book's top and bottom
    // bow outwards; the spine's gutter lies in shade. A book pressed flat has none of it.
    if (m_mapsAt != m_pageAt) {
        m_fromX.create(frame.size(), CV_32F);
        m_fromY.create(frame.size(), CV_32F);
        m_shade.create(frame.size(), CV_32F);
        const double bend = m_subject == Subject::BookOnDesk ? 1 : 0;
        const double half = page.cols / 2.0;
        const double middle = page.rows / 2.0;
        for (int y = 0; y < frame.rows; ++y)
            for (int x = 0; x < frame.cols; ++x) {
                const double across = (x - m_pageAt.x - half) / half;            // 0 at the spine
                const double t = std::abs(across) <= 1 ? std::abs(across) : 2.0; // 2: desk
                const double lift = bend * std::exp(-4 * t);
                m_fromX.at<float>(y, x) = static_cast<float>(
                    half + std::copysign(std::pow(t, 1 - 0.2 * bend), across) * half);
                m_fromY.at<float>(y, x) =
                    static_cast<float>(middle + (y - m_pageAt.y - middle) / (1 + 0.08 * lift));
                m_shade.at<float>(y, x) =
                    static_cast<float>(1 - bend * 0.3 * (1 - std::min(1.0, t * 5)));
            }
        m_mapsAt = m_pageAt;
    }
    cv::Mat curved;
    cv::Mat cover;
    cv::remap(page, curved, m_fromX, m_fromY, cv::INTER_LINEAR, cv::BORDER_CONSTANT, 0);
    cv::remap(cv::Mat(page.size(), CV_32F, cv::Scalar(1)), cover, m_fromX, m_fromY,
              cv::INTER_LINEAR, cv::BORDER_CONSTANT, 0);
    frame = frame.mul(1 - cover) + curved.mul(m_shade);
}

void Script::show(const Hand& hand, double newFrom, double blur, double leaf) {
    cv::Mat frame = m_desk.clone();
    if (m_present) {
        cv::Mat page = leaf >= 0 ? withLeaf(leaf) : pageContent(m_page);
        const int width = m_pageSize.width;
        if (newFrom < width) {
            // The leaf being turned: the next page right of it, its blank back and shadow over
            // it.
            const int from = std::max(0, static_cast<int>(newFrom));
            pageContent(m_page + 1).colRange(from, width).copyTo(page.colRange(from, width));
            const int back = std::max(0, from - 6);
            page.colRange(back, from).setTo(cv::Scalar(240));
            if (back > 0)
                page.col(back - 1).setTo(cv::Scalar(150));
        }
        place(page, frame);
    }
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
    m_noise.fill(noise, cv::RNG::NORMAL, 0, kNoise);
    frame += noise;
    cv::Mat grey;
    frame.convertTo(grey, CV_8U);
    if (m_detector.feed(grey))
        m_fired.push_back(m_frame);
    ++m_frame;
}

Settled Script::holdStill(int frames) {
    const Settled settled{m_frame, m_frame + frames, m_present ? m_page : 0};
    for (int i = 0; i < frames; ++i)
        show({});
    m_stills.push_back(settled);
    return settled;
}

void Script::settleAfterTurn(int stillFrames) {
    const Settled settled = holdStill(stillFrames);
    if (settled.page > m_highest) {
        m_highest = settled.page;
        m_due.push_back(settled);
    }
}

void Script::still(int frames) {
    holdStill(frames);
}

void Script::start(int stillFrames) {
    settleAfterTurn(stillFrames);
}

void Script::emptyDeskThenLayDown(int emptyFrames, int stillFrames) {
    m_present = false;
    holdStill(emptyFrames);
    // Brought in from the right by a hand holding its edge, laid down, let go.
    const cv::Point2f target = m_pageAt;
    const cv::Point2f arm = kOutside + cv::Point2f(10, 0);
    m_present = true;
    const auto grip = [this] {
        return m_pageAt + cv::Point2f(static_cast<float>(m_pageSize.width) - 6,
                                      static_cast<float>(m_pageSize.height) / 2);
    };
    for (int i = 12; i >= 0; --i) {
        m_pageAt = target + cv::Point2f(static_cast<float>(kWidth) * i / 12, 0);
        show({true, grip(), arm});
    }
    const cv::Point2f let = grip();
    for (int i = 1; i <= 6; ++i)
        show({true, between(let, kOutside, i / 6.0), arm});
    for (int i = 0; i < 8; ++i)
        show({}, 1e9, 2.0 - 0.2 * i);
    settleAfterTurn(stillFrames);
}

void Script::turnLeaf(int standFrames, int stillFrames) {
    const cv::Point2f arm = kOutside + cv::Point2f(10, 0);
    for (int i = 1; i <= 6; ++i)
        show({true, between(kOutside, leafEdge(0), i / 6.0), arm});
    // Lifted fast, blurred as it moves, to stand nearly upright...
    for (int i = 1; i <= 6; ++i) {
        const double angle = 1.4 * i / 6;
        show({true, leafEdge(angle), arm}, 1e9, 1.2, angle);
    }
    std::uniform_real_distribution<double> sway(-0.03, 0.03);
    for (int i = 0; i < standFrames; ++i) {
        const double angle = 1.45 + sway(m_random);
        show({true, leafEdge(angle), arm}, 1e9, 0, angle);
    }
    // ...then laid over onto the left page.
    for (int i = 1; i <= 6; ++i) {
        const double angle = 1.45 + (kPi - 1.45) * i / 6;
        show({true, leafEdge(angle), arm}, 1e9, i < 6 ? 1.2 : 0, angle);
    }
    ++m_page;
    const cv::Point2f let = leafEdge(kPi);
    for (int i = 1; i <= 8; ++i)
        show({true, between(let, kOutside, i / 8.0), arm});
    for (int i = 0; i < 8; ++i)
        show({}, 1e9, 2.0 - 0.2 * i);
    settleAfterTurn(stillFrames);
}

void Script::flipBackAndForth(int stillFrames) {
    const cv::Point2f arm = kOutside + cv::Point2f(10, 0);
    --m_page; // the leaf just turned lies on the left
    for (int i = 1; i <= 8; ++i)
        show({true, between(kOutside, leafEdge(kPi), i / 8.0), arm}, 1e9, 0, kPi);
    for (int i = 1; i <= 10; ++i) {
        const double angle = kPi * (1 - i / 10.0);
        show({true, leafEdge(angle), arm}, 1e9, i < 10 ? 1.0 : 0, angle);
    }
    for (int i = 1; i <= 6; ++i)
        show({true, between(leafEdge(0), kOutside, i / 6.0), arm});
    for (int i = 0; i < 8; ++i)
        show({}, 1e9, 2.0 - 0.2 * i);
    settleAfterTurn(stillFrames);
    turnLeaf(0, stillFrames);
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
    settleAfterTurn(stillFrames);
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
    // Pushed from the right towards the left of the desk and back, so the page stays in view;
    // a book, larger, a little less far.
    const bool book = onDesk(m_subject);
    const bool left = m_pageAt.x > (book ? 10 : 20);
    const float along = book ? 8 : 20;
    const cv::Point2f shift(left ? -along : along, left ? along / 2.5F : -along / 2.5F);
    const auto grip = [this, left] {
        return cv::Point2f(left ? m_pageAt.x + static_cast<float>(m_pageSize.width) + 4
                                : m_pageAt.x - 4,
                           m_pageAt.y + 35);
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
