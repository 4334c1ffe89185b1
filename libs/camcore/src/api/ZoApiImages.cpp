// The flat functions that combine picture files into one: the merge of two shots and the sub
// camera's picture inset into the main one.
#include "ZoApi.h"

#include "ApiSupport.h"
#include "CaptureDelivery.h"
#include "Trace.h"
#include "output/CaptureWriter.h"
#include "output/StoredImage.h"
#include "process/MatImage.h"
#include "process/mix/ImagesMix.h"
#include "process/mix/Inset.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <vector>

using camcore::MixLayout;
using camcore::StoredImage;
using camcore::api::Answer;

namespace {

// The list is paths each followed by ";", but a path may hold a ";" itself (a work folder or a
// custom name): a ";" ends a path only where the text so far names an existing file.
QStringList splitList(const QString& list) {
    QStringList paths;
    qsizetype start = 0;
    for (qsizetype at = list.indexOf(';'); at >= 0; at = list.indexOf(';', at + 1)) {
        const QString candidate = list.mid(start, at - start);
        if (!candidate.isEmpty() && QFileInfo(candidate).isFile()) {
            paths.append(candidate);
            start = at + 1;
        }
    }
    if (start < list.size())
        paths.append(list.mid(start));
    return paths;
}

// The pictures as one kind: colour when any is, black and white only when all are.
struct Sources {
    std::vector<StoredImage> images;
    bool colour = false;
    bool bilevel = true;

    std::vector<cv::Mat> mats() const {
        std::vector<cv::Mat> result;
        for (const StoredImage& image : images)
            result.push_back(
                camcore::matView(image.picture.convertToFormat(colour ? QImage::Format_RGB888
                                                                      : QImage::Format_Grayscale8))
                    .clone());
        return result;
    }
};

std::optional<Sources> readAll(const QStringList& paths) {
    Sources sources;
    for (const QString& path : paths) {
        std::optional<StoredImage> image = camcore::readImageFile(path);
        if (!image)
            return std::nullopt;
        sources.colour = sources.colour || image->picture.format() == QImage::Format_RGB888;
        sources.bilevel = sources.bilevel && image->bilevel;
        sources.images.push_back(std::move(*image));
    }
    return sources;
}

// The picture composed of the sources, at the first source's DPI.
camcore::OutputImage composed(const cv::Mat& pixels, const Sources& sources) {
    camcore::OutputImage image;
    image.picture = camcore::imageOf(pixels);
    image.bilevel = sources.bilevel && !sources.colour;
    const int dpi = sources.images.front().dpi;
    image.dpi = dpi > 0 ? std::min(dpi, camcore::kMaxDpi) : 200; // a camera's own default
    return image;
}

// A composition: its picture, or why there is none.
using Composed = Answer<std::optional<camcore::OutputImage>>;

// The result in the format out's extension names. A PDF becomes the next page of a collected
// document as a capture would (Engine::collectingDocument).
Answer<int> save(const char* out, const Composed& composedImage) {
    if (!composedImage.result)
        return {0, composedImage.note};
    if (out == nullptr || *out == '\0')
        return {0, "no path"};
    const QString path = QString::fromLocal8Bit(out);
    camcore::PdfDocument* document = nullptr;
    if (camcore::formatFromPath(path) == camcore::ImageFormat::Pdf)
        document = camcore::Engine::instance().collectingDocument(path);
    const int written = camcore::writeCapture(path, *composedImage.result, document);
    return {written, written == 0 ? "nothing written" : ""};
}

std::optional<MixLayout> layoutOf(int a, int b, int c, int d) {
    if (a == 1 && b == 2 && c == 0 && d == 0)
        return MixLayout::Stacked;
    if (a == 0 && b == 1 && c == 2 && d == 0)
        return MixLayout::SideBySide;
    return std::nullopt;
}

Composed mix(const QString& list, int a, int b, int c, int d) {
    const std::optional<MixLayout> layout = layoutOf(a, b, c, d);
    if (!layout)
        return {std::nullopt, "no such layout"};
    const QStringList paths = splitList(list);
    if (paths.isEmpty())
        return {std::nullopt, "no list"};
    const std::optional<Sources> sources = readAll(paths);
    if (!sources)
        return {std::nullopt, "a source is not a readable picture"};
    const camcore::MixTask task({*layout});
    return {composed(task.run(sources->mats()).picture, *sources), ""};
}

// x and y arrive negated: -x is the inset's distance from the picture's left edge, -y the
// distance of its bottom edge from the picture's bottom edge.
Composed combine(const QString& main, const QString& sub, int width, int height, int x, int y) {
    if (width <= 0 || height <= 0)
        return {std::nullopt, "inset size not positive"};
    const std::optional<Sources> sources = readAll({main, sub});
    if (!sources)
        return {std::nullopt, "a source is not a readable picture"};
    const std::vector<cv::Mat> mats = sources->mats();
    const cv::Rect area(-x, mats[0].rows + y - height, width, height);
    const camcore::InsetTask task({area});
    return {composed(task.run(mats[0], mats[1], sources->bilevel && !sources->colour), *sources),
            ""};
}

// The composition done on the camera's job threads; the job says why nothing was made.
int composeQueued(const char* name, int cam, const char* out, std::function<Composed()> composition,
                  ZoCaptureCallback callback, void* user) {
    return camcore::api::answerOnCamera(
        name, cam, -ZO_CAPTURE_CAMERA_LOST,
        [&](camcore::Camera& camera) -> Answer<int> {
            if (out == nullptr || *out == '\0')
                return {-ZO_CAPTURE_NAME_REFUSED, "no path"};
            const int job = camera.composeQueued(
                QString::fromLocal8Bit(out), [composition] { return composition().result; },
                camcore::api::deliveryTo(name, callback, user));
            return {job, job > 0 ? "" : camcore::captureReasonText(-job)};
        },
        cam, out, reinterpret_cast<const void*>(callback), static_cast<const void*>(user));
}

} // namespace

int ZoImagesMix(const char* list, int a, int b, int c, int d, const char* out) {
    const Answer<int> answer = list == nullptr
                                   ? Answer<int>{0, "no list"}
                                   : save(out, mix(QString::fromLocal8Bit(list), a, b, c, d));
    camcore::traceCall("ZoImagesMix", answer.result, answer.note, list, a, b, c, d, out);
    return answer.result;
}

int ZoCombineMainSubEn(const char* main, const char* sub, const char* out, int width, int height,
                       int x, int y) {
    const Answer<int> answer =
        main == nullptr || sub == nullptr
            ? Answer<int>{0, "no path"}
            : save(out, combine(QString::fromLocal8Bit(main), QString::fromLocal8Bit(sub), width,
                                height, x, y));
    camcore::traceCall("ZoCombineMainSubEn", answer.result, answer.note, main, sub, out, width,
                       height, x, y);
    return answer.result;
}

int ZoImagesMixQueued(int cam, const char* list, int a, int b, int c, int d, const char* out,
                      ZoCaptureCallback callback, void* user) {
    const QString sources = list == nullptr ? QString() : QString::fromLocal8Bit(list);
    return composeQueued(
        "ZoImagesMixQueued", cam, out, [sources, a, b, c, d] { return mix(sources, a, b, c, d); },
        callback, user);
}

int ZoCombineMainSubQueued(int cam, const char* main, const char* sub, const char* out, int width,
                           int height, int x, int y, ZoCaptureCallback callback, void* user) {
    const QString mainPath = main == nullptr ? QString() : QString::fromLocal8Bit(main);
    const QString subPath = sub == nullptr ? QString() : QString::fromLocal8Bit(sub);
    return composeQueued(
        "ZoCombineMainSubQueued", cam, out,
        [mainPath, subPath, width, height, x, y] {
            return combine(mainPath, subPath, width, height, x, y);
        },
        callback, user);
}
