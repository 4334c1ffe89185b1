#include "PageCorpus.h"

#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace ocrcorpus {

namespace {

constexpr int kFrameWidth = 3264, kFrameHeight = 2448, kFileWidth = 1200;

const std::array<const char*, 12> kEnglish = {
    "The committee reviewed the annual figures and agreed on a new budget for the coming year.",
    "Please place the document in the centre of the base plate and keep the pages flat.",
    "All invoices must be checked against the delivery notes before payment is approved.",
    "The library opens at eight in the morning and closes at nine in the evening.",
    "Students are expected to hand in their assignments on time and to attend every lecture.",
    "Heavy rain is forecast for the weekend, so the outdoor concert has been moved indoors.",
    "Our new office is on the third floor of the building next to the railway station.",
    "The report describes the results of a survey of 1,500 households carried out in 2023.",
    "Contact the service desk by phone or email if the problem persists after a restart.",
    "Quarterly sales rose by 12 percent, driven mostly by strong demand in the north.",
    "Each participant received a printed copy of the agenda and a list of questions.",
    "The warranty covers defects in materials and workmanship for a period of two years.",
};

const std::array<const char*, 12> kChinese = {
    "文件扫描完成后，系统会自动保存图像并生成缩略图。",
    "请将需要拍摄的资料平放在底板中央，保持页面平整。",
    "会议决定从下个月开始实行新的工作时间安排。",
    "本报告总结了过去一年的主要成绩和存在的问题。",
    "图书馆的开放时间为每天上午八点至晚上九点。",
    "学生应当按时完成作业，并认真复习课堂内容。",
    "天气预报说明天有小雨，出门请记得带伞。",
    "公司计划在城市东部建设一个新的研发中心。",
    "这份合同一式两份，双方各执一份，具有同等效力。",
    "我们收到了您的来信，并将尽快给予答复。",
    "市场调查显示，消费者更加关注产品的质量和服务。",
    "春天到了，公园里的花都开了，游人络绎不绝。",
};

const std::array<const char*, 8> kMixed = {
    "第3季度的销售额达到1250万元，比去年同期增长18%。",
    "请把文件保存为PDF格式，并发送到office@example.com邮箱。",
    "本次培训使用English和中文两种语言进行。",
    "项目编号为A-2024-017，负责人是张明。",
    "会议时间：2024年5月20日上午10:30，地点：第二会议室。",
    "请登录www.example.org下载最新的用户手册。",
    "该设备支持USB 3.0接口，分辨率为3264x2448像素。",
    "The meeting starts at 9:00，请大家准时参加。",
};

struct Style {
    Language language;
    const char* tag;
    QStringList families;
};

const std::array<Style, 6> kStyles = {{
    {Language::English, "serif", {"DejaVu Serif"}},
    {Language::English, "sans", {"DejaVu Sans"}},
    {Language::Chinese, "wqy", {"WenQuanYi Zen Hei"}},
    {Language::Chinese, "wqy-sharp", {"WenQuanYi Zen Hei Sharp"}},
    {Language::Mixed, "serif+wqy", {"DejaVu Serif", "WenQuanYi Zen Hei"}},
    {Language::Mixed, "sans+wqy", {"DejaVu Sans", "WenQuanYi Zen Hei"}},
}};

// Character heights (em) in the 1200-pixel file: small print, body text, large body text.
constexpr std::array<int, 3> kEmInFile = {17, 21, 26};

// A small fast generator: the corpus must be the same on every run.
struct Random {
    std::uint64_t state;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return std::uint32_t(state >> 11);
    }
    // About normal with sigma 1: the sum of four uniform values.
    double gauss() {
        double sum = 0;
        for (int i = 0; i < 4; ++i)
            sum += (next() & 0xffff) / 65535.0;
        return (sum - 2.0) * std::sqrt(3.0);
    }
};

QStringList paragraphsFor(Language language, int offset, const QFont& font, const QRectF& area) {
    const auto pick = [&](int i) -> QString {
        switch (language) {
        case Language::English:
            return kEnglish[std::size_t(i) % kEnglish.size()];
        case Language::Chinese:
            return kChinese[std::size_t(i) % kChinese.size()];
        case Language::Mixed:
            return kMixed[std::size_t(i) % kMixed.size()];
        }
        return {};
    };
    const QString gap = language == Language::English ? " " : "";
    const QFontMetricsF metrics(font);
    const auto height = [&](const QStringList& paragraphs) {
        return metrics.boundingRect(area, Qt::TextWordWrap, paragraphs.join("\n\n")).height();
    };
    // Paragraphs of three sentences while they fit the page.
    QStringList paragraphs;
    for (int sentence = 0; sentence < 200; sentence += 3) {
        QStringList next = paragraphs;
        next << pick(offset + sentence) + gap + pick(offset + sentence + 1) + gap +
                    pick(offset + sentence + 2);
        if (height(next) > area.height())
            break;
        paragraphs = next;
    }
    return paragraphs;
}

// Two passes of a [1 2 1] filter each way: a lens slightly out of focus (sigma about 1 pixel).
void blur(QImage& image) {
    const int width = image.width(), height = image.height();
    std::vector<std::uint32_t> line;
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            line.assign(row, row + width);
            for (int x = 1; x + 1 < width; ++x) {
                std::uint32_t out = 0xff000000;
                for (int shift = 0; shift < 24; shift += 8) {
                    const auto c = [&](int i) {
                        return (line[std::size_t(i)] >> shift) & 0xff;
                    };
                    out |= ((c(x - 1) + 2 * c(x) + c(x + 1) + 2) / 4) << shift;
                }
                row[x] = out;
            }
        }
        for (int x = 0; x < width; ++x) {
            line.resize(std::size_t(height));
            for (int y = 0; y < height; ++y)
                line[std::size_t(y)] = reinterpret_cast<std::uint32_t*>(image.scanLine(y))[x];
            for (int y = 1; y + 1 < height; ++y) {
                std::uint32_t out = 0xff000000;
                for (int shift = 0; shift < 24; shift += 8) {
                    const auto c = [&](int i) {
                        return (line[std::size_t(i)] >> shift) & 0xff;
                    };
                    out |= ((c(y - 1) + 2 * c(y) + c(y + 1) + 2) / 4) << shift;
                }
                reinterpret_cast<std::uint32_t*>(image.scanLine(y))[x] = out;
            }
        }
    }
}

// A lamp off one corner, the far side of the page a third darker, and sensor noise (sigma 4).
void lightAndNoise(QImage& image, int seed) {
    Random random{0x9e3779b97f4a7c15ULL * std::uint64_t(seed + 1)};
    const double lampX = seed % 2 ? 0.2 : 0.8, lampY = 0.15;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double dx = double(x) / image.width() - lampX;
            const double dy = double(y) / image.height() - lampY;
            const double light = 1.05 - 0.38 * std::min(1.0, (dx * dx + dy * dy) / 0.9);
            const double noise = 4 * random.gauss();
            std::uint32_t out = 0xff000000;
            for (int shift = 0; shift < 24; shift += 8) {
                const double value = ((row[x] >> shift) & 0xff) * light + noise;
                out |= std::uint32_t(std::clamp(value, 0.0, 255.0)) << shift;
            }
            row[x] = out;
        }
    }
}

QImage photograph(const QStringList& paragraphs, const QFont& font, const QRectF& area,
                  double angle, int seed) {
    QImage frame(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    frame.fill(QColor(236, 233, 226));
    {
        QPainter painter(&frame);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(kFrameWidth / 2.0, kFrameHeight / 2.0);
        painter.rotate(angle);
        painter.translate(-kFrameWidth / 2.0, -kFrameHeight / 2.0);
        painter.setFont(font);
        painter.setPen(QColor(35, 35, 40));
        painter.drawText(area, Qt::TextWordWrap, paragraphs.join("\n\n"));
    }
    blur(frame);
    lightAndNoise(frame, seed);
    // The camera's own JPEG, decoded again by the program.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    frame.save(&buffer, "JPG", 85);
    frame.loadFromData(jpeg, "JPG");
    return frame.scaledToWidth(kFileWidth, Qt::FastTransformation);
}

} // namespace

std::vector<Page> writePages(const QString& folder, bool full) {
    std::vector<Page> pages;
    int index = 0;
    for (const Style& style : kStyles)
        for (const int emInFile : kEmInFile) {
            const int seed = index++;
            if (!full && emInFile != 21) // without the whole corpus: body text only
                continue;
            QFont font;
            font.setFamilies(style.families);
            font.setPixelSize(emInFile * kFrameWidth / kFileWidth);
            const QRectF area(220, 200, kFrameWidth - 440, kFrameHeight - 400);
            const QStringList paragraphs = paragraphsFor(style.language, seed * 5, font, area);
            const double angle = ((seed * 7) % 5 - 2) * 0.6; // -1.2 to 1.2 degrees
            Page page;
            page.name = QString("%1-%2-%3px%4%5deg")
                            .arg(languageName(style.language), style.tag)
                            .arg(emInFile)
                            .arg(angle < 0 ? "" : "+")
                            .arg(angle, 0, 'f', 1);
            page.language = style.language;
            page.truth = paragraphs.join("\n");
            page.file = QDir(folder).filePath(page.name + ".jpg");
            photograph(paragraphs, font, area, angle, seed).save(page.file);
            pages.push_back(page);
        }
    return pages;
}

bool fullCorpusWanted() {
    return qEnvironmentVariable("OCR_CORPUS_FULL") == "1";
}

double accuracy(const QString& read, const QString& truth) {
    const auto normal = [](const QString& text) {
        std::vector<char32_t> kept;
        for (char32_t c : text.toUcs4()) {
            if (QChar::isSpace(c))
                continue;
            if (c >= 0xFF01 && c <= 0xFF5E) // full-width forms of ASCII
                c -= 0xFEE0;
            kept.push_back(c);
        }
        return kept;
    };
    const std::vector<char32_t> a = normal(read), b = normal(truth);
    if (b.empty())
        return a.empty() ? 1.0 : 0.0;
    std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1,
                                   previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        std::swap(previous, current);
    }
    return std::max(0.0, 1.0 - double(previous[b.size()]) / double(b.size()));
}

const char* languageName(Language language) {
    switch (language) {
    case Language::English:
        return "english";
    case Language::Chinese:
        return "chinese";
    case Language::Mixed:
        return "mixed";
    }
    return "";
}

} // namespace ocrcorpus
