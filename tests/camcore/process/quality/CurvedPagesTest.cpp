// Flattening on pages bent as an open book bends them: English and Chinese text pages, from
// flat to the curl of a thick book's spine, with the spine on either side, the gutter's shadow
// and sensor noise. Each page's baselines are drawn on a probe that is bent and flattened along
// with it, so how straight they come out is measured against the truth. Pages are 1632 x 2448,
// half of the camera's frame, at 0.5 of that size here (CAMCORE_QUALITY_FULL=1: full size, four
// times the pages). Straightness is given in pixels at 300 DPI: a 2448-pixel page is 297 mm
// tall, 209 DPI.
#include "Curved.h"
#include "process/dewarp/Dewarp.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include <opencv2/imgproc.hpp>
#include <tesseract/baseapi.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

using namespace camcore;

namespace {

// What was measured when this was written are the floors, for the CI size and the full one.
struct Floors {
    double maxBend300; // worst baseline after flattening, pixels at 300 DPI
    int flattened;     // bent pages flattened
    int readFlat;      // characters Tesseract reads right on the flattened English pages
};
constexpr Floors kCiFloors{4.22, 9, 6500};
constexpr Floors kFullFloors{12.06, 35, 25127};
constexpr double kPageDpi = 2448 / (297 / 25.4);

bool full() {
    return qEnvironmentVariableIntValue("CAMCORE_QUALITY_FULL") == 1;
}

const char* const kEnglish[] = {"paper",   "camera",  "picture", "document", "reader",  "letter",
                                "window",  "kitchen", "student", "teacher",  "lesson",  "chapter",
                                "section", "market",  "product", "service",  "history", "science",
                                "morning", "evening", "simple",  "modern",   "travel",  "machine"};
const char* const kChinese[] = {"文档", "扫描", "书本", "页面", "文字", "识别", "相机", "图像",
                                "阅读", "历史", "科学", "学生", "老师", "课程", "章节", "市场",
                                "产品", "服务", "早上", "晚上", "简单", "现代", "旅行", "机器"};

struct Page {
    cv::Mat picture; // CV_8UC3, flat
    cv::Mat probe;   // CV_8UC1, the baselines in black on white
    std::string text;
};

// A flat page of body text, 12 point on A4, left and right margins a tenth of the width.
Page textPage(cv::Size size, bool chinese, unsigned seed) {
    QImage image(size.width, size.height, QImage::Format_RGB888);
    image.fill(QColor(246, 243, 232));
    Page page;
    page.probe = cv::Mat(size, CV_8UC1, cv::Scalar(255));
    const double em = size.height / 297.0 * 4.2;
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QFont font(chinese ? QStringLiteral("WenQuanYi Zen Hei") : QStringLiteral("DejaVu Serif"));
    font.setPixelSize(static_cast<int>(std::lround(em)));
    painter.setFont(font);
    painter.setPen(QColor(25, 25, 30));
    const QFontMetricsF metrics(font);
    const double left = 0.1 * size.width;
    const double right = 0.9 * size.width;
    cv::RNG rng(seed);
    for (double y = 0.1 * size.height; y < 0.9 * size.height; y += 1.6 * em) {
        QString line;
        for (;;) {
            const QString word = chinese ? QString::fromUtf8(kChinese[rng.uniform(0, 24)])
                                         : QString::fromLatin1(kEnglish[rng.uniform(0, 24)]);
            const QString next = line.isEmpty() ? word : line + (chinese ? "" : " ") + word;
            if (metrics.horizontalAdvance(next) > right - left)
                break;
            line = next;
        }
        painter.drawText(QPointF(left, y), line);
        const double end = left + metrics.horizontalAdvance(line);
        cv::line(page.probe, {static_cast<int>(left), static_cast<int>(y)},
                 {static_cast<int>(end), static_cast<int>(y)}, cv::Scalar(0), 2);
        page.text += line.toStdString();
    }
    painter.end();
    page.picture = cv::Mat(size, CV_8UC3, image.bits(), image.bytesPerLine()).clone();
    return page;
}

// The shadow in the gutter and the noise of the sensor, on a bent page.
cv::Mat lit(const cv::Mat& page, bool spineRight, unsigned seed) {
    cv::Mat light(page.size(), CV_32FC3);
    for (int x = 0; x < page.cols; ++x) {
        const double fromSpine = spineRight ? page.cols - 1 - x : x;
        const double level = 0.6 + 0.35 * (1 - std::exp(-fromSpine / (0.08 * page.cols)));
        light.col(x).setTo(cv::Scalar::all(level));
    }
    cv::Mat result;
    page.convertTo(result, CV_32FC3);
    result = result.mul(light);
    cv::Mat noise(page.size(), CV_32FC3);
    cv::RNG(seed).fill(noise, cv::RNG::NORMAL, 0, 4);
    result += noise;
    result.convertTo(result, CV_8UC3);
    return result;
}

struct EndTesseract {
    void operator()(tesseract::TessBaseAPI* api) const {
        api->End();
        delete api;
    }
};

std::string letters(const std::string& text) {
    std::string kept;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            kept += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return kept;
}

// Characters read correctly: the longest common subsequence of what was read and the truth.
int correct(tesseract::TessBaseAPI& api, const cv::Mat& rgb, const std::string& truth) {
    cv::Mat grey;
    cv::cvtColor(rgb, grey, cv::COLOR_RGB2GRAY);
    api.SetImage(grey.data, grey.cols, grey.rows, 1, static_cast<int>(grey.step[0]));
    char* text = api.GetUTF8Text();
    const std::string read = letters(text ? text : "");
    delete[] text;
    std::vector<int> previous(truth.size() + 1, 0);
    std::vector<int> current(truth.size() + 1, 0);
    for (const char r : read) {
        for (std::size_t j = 0; j < truth.size(); ++j)
            current[j + 1] =
                r == truth[j] ? previous[j] + 1 : std::max(previous[j + 1], current[j]);
        std::swap(previous, current);
    }
    return previous.back();
}

} // namespace

TEST(Corpus, BentBookPagesComeOutWithStraightLines) {
    // OMP_THREAD_LIMIT=1 is set for this suite by ctest (see OcrTest.cpp).
    const std::unique_ptr<tesseract::TessBaseAPI, EndTesseract> api(new tesseract::TessBaseAPI);
    ASSERT_EQ(api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY), 0) << "tesseract-ocr-eng";
    api->SetPageSegMode(tesseract::PSM_AUTO);
    const double scale = full() ? 1.0 : 0.5;
    const cv::Size size(static_cast<int>(1632 * scale), static_cast<int>(2448 * scale));
    const int count = full() ? 48 : 12;
    // Every fourth page flat; the others from a slight curl to a thick book's (the page rising
    // a quarter of its height out of the spine).
    int bentPages = 0;
    int flattened = 0;
    int readRaw = 0;
    int readFlat = 0;
    double worst = 0;
    for (int i = 0; i < count; ++i) {
        const bool chinese = i % 2 == 1;
        curved::Bend bend;
        bend.depth = i % 4 == 0 ? 0 : 0.05 + 0.2 * (i % 8) / 7.0;
        bend.spineRight = (i / 2) % 2 == 0;
        bend.reach = 0.15 + 0.02 * (i % 5);
        const Page flat = textPage(size, chinese, static_cast<unsigned>(i + 1));
        const curved::Maps maps = curved::bendMaps(size, bend);
        const cv::Mat page =
            lit(curved::bent(flat.picture, maps, cv::Scalar(70, 60, 50)), bend.spineRight, i);
        const cv::Mat probe = curved::bent(flat.probe, maps, cv::Scalar(255));
        const std::optional<PageSurface> surface = DewarpTask().measure(page);
        const double before = curved::straightness(probe).worst * 300 / (kPageDpi * scale);
        if (bend.depth == 0) {
            EXPECT_FALSE(surface) << "flat page " << i << " is left as it is";
            continue;
        }
        ++bentPages;
        const curved::Straightness after =
            curved::straightness(surface ? DewarpTask::flatten(probe, *surface) : probe);
        const double bent300 = after.worst * 300 / (kPageDpi * scale);
        std::cout << "page " << i << (chinese ? " (Chinese)" : " (English)") << ", depth "
                  << bend.depth << ": " << (surface ? "flattened" : "left") << ", worst baseline "
                  << before << " -> " << bent300 << " px at 300 DPI\n";
        flattened += surface ? 1 : 0;
        worst = std::max(worst, bent300);
        // English pages are read as well, the raw bent page and the flattened one: every
        // fourth in the CI size (Tesseract takes 2 s a page here), all in the full one.
        if (!chinese && (full() || i % 4 == 2)) {
            const std::string truth = letters(flat.text);
            const int raw = correct(*api, page, truth);
            const int flatRead =
                correct(*api, surface ? DewarpTask::flatten(page, *surface) : page, truth);
            std::cout << "  read " << flatRead << " of " << truth.size()
                      << " characters flattened, " << raw << " raw\n";
            readRaw += raw;
            readFlat += flatRead;
        }
    }
    std::cout << "Tesseract read " << readFlat << " characters right flattened, " << readRaw
              << " raw\n";
    const Floors& floors = full() ? kFullFloors : kCiFloors;
    EXPECT_GE(readFlat, floors.readFlat);
    EXPECT_GT(readFlat, readRaw);
    std::cout << flattened << " of " << bentPages << " bent pages flattened; worst baseline "
              << worst << " px at 300 DPI\n";
    EXPECT_GE(flattened, floors.flattened);
    EXPECT_LE(worst, floors.maxBend300);
}
