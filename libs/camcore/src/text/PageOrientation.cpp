#include "text/PageOrientation.h"

#include "text/OcrLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace camcore {
namespace {

// Letters of body text on a page photographed at 8 MP are still 20 pixels high at this width,
// plenty for the orientation model, which then reads a quarter of the pixels.
constexpr int kJudgedWidth = 1600;

} // namespace

PageLook lookAtPage(const QImage& page) {
    const auto orientation = ocrLibrary().orientation;
    if (!orientation || page.isNull())
        return {};
    const int longest = std::max(page.width(), page.height());
    const QImage copy = longest > kJudgedWidth
                            ? page.scaled(page.size() * kJudgedWidth / longest, Qt::KeepAspectRatio,
                                          Qt::SmoothTransformation)
                            : page;
    // The library reads files; the copy is private to this user and removed at once.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/camcore-orientation-XXXXXX.jpg"));
    if (!file.open() || !copy.save(&file, "JPEG", 90) || !file.flush())
        return {};
    int scripts = QUILOCR_ALL_SCRIPTS;
    const int turn = orientation(QFile::encodeName(file.fileName()).constData(), &scripts);
    return {turn == 90 || turn == 180 || turn == 270 ? turn : 0, scripts == QUILOCR_LATIN_ONLY};
}

} // namespace camcore
