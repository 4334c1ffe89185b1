// The flat function that makes a searchable PDF of a picture file. It names no camera, holds no
// engine state and may come from any thread: the OCR results window saves on a worker.
#include "ZoApi.h"

#include "Trace.h"
#include "output/CaptureWriter.h"
#include "output/OutputImage.h"
#include "text/PageWords.h"

#include <QImage>
#include <QString>

// The definition takes its C linkage from the declaration in ZoApi.h.

int ZoMakeSearchablePdf(const char* picture, const char* pdf, int dpi) {
    const auto answer = [&](int result, const char* note) {
        camcore::traceCall("ZoMakeSearchablePdf", result, note, picture, pdf, dpi);
        return result;
    };
    if (picture == nullptr || pdf == nullptr)
        return answer(0, "no path");
    if (dpi < 0 || dpi > camcore::kMaxDpi)
        return answer(0, "DPI out of range");
    const QImage read(QString::fromLocal8Bit(picture));
    if (read.isNull())
        return answer(0, "picture unreadable");
    camcore::OutputImage page;
    page.picture = read.convertToFormat(QImage::Format_RGB888);
    // A file without a density reads as 72 DPI (2835 dots a metre), which no capture writes.
    const int recorded = qRound(read.dotsPerMeterX() * 0.0254);
    page.dpi = dpi > 0 ? dpi : (recorded > 72 && recorded <= camcore::kMaxDpi ? recorded : 300);
    page.jpegQuality = 90;
    page.words = camcore::recognisePageWords(page);
    const int written = camcore::writeCapture(QString::fromLocal8Bit(pdf), page);
    return answer(written, written > 0 ? "" : "not written");
}
