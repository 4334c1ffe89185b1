#include "process/CaptureChain.h"

#include "process/cardcopy/CardCopy.h"
#include "process/clean/BackgroundClean.h"
#include "process/crop/PerspectiveCrop.h"
#include "process/deskew/Deskew.h"
#include "process/detect/DocumentDetect.h"
#include "process/dewarp/Dewarp.h"
#include "process/split/SpineFind.h"

#include <algorithm>
#include <cmath>

namespace camcore {

namespace {

// Text lines are measured on the page rendered about 1000 pixels wide (DeskewParams), a spine
// on the spread about 800 wide (SpineParams): rendering such a look out of an 8 MP frame costs
// 4 to 7 ms, against 40 to 50 for the page itself.
constexpr int kTextLookWidth = 1000;
constexpr int kSpineLookWidth = 800;

PageGeometry look(const PageGeometry& geometry, int width) {
    return geometry.scaled(std::min(1.0, static_cast<double>(width) / geometry.size.width));
}

bool isWhole(const PageGeometry& geometry, const cv::Mat& picture) {
    return geometry.size == picture.size() && geometry.toPage == cv::Matx33d::eye();
}

// The page turned so that its text lines run level, measured on a reduced rendering.
PageGeometry levelled(const cv::Mat& picture, const PageGeometry& geometry,
                      const TaskStatus& status) {
    const PageGeometry small = look(geometry, kTextLookWidth);
    const cv::Mat page = CropTask({small}).run(picture, status).page;
    const DeskewResult skew = DeskewTask().run(page, status);
    return skew.found ? geometry.rotated(-skew.angle) : geometry;
}

std::optional<Quad> findDocument(const cv::Mat& picture, int workWidth, const TaskStatus& status) {
    const DetectResult found = DetectTask({1, workWidth}).run(picture, status);
    if (found.documents.empty())
        return std::nullopt;
    return found.documents.front();
}

// Front before back: top to bottom when the cards lie one above the other, else left to right.
void readingOrder(std::vector<Quad>& cards) {
    std::sort(cards.begin(), cards.end(), [](const Quad& a, const Quad& b) {
        const cv::Point2d ca = a.centre();
        const cv::Point2d cb = b.centre();
        const double height = std::min(std::sqrt(a.area()), std::sqrt(b.area()));
        if (std::abs(ca.y - cb.y) > 0.5 * height)
            return ca.y < cb.y;
        return ca.x < cb.x;
    });
}

} // namespace

ChainResult ChainTask::run(const cv::Mat& picture, const TaskStatus& status) const {
    if (picture.empty())
        return {};
    if (m_params.cardCopy)
        return cardCopy(picture, status);
    if (m_params.split)
        return split(picture, status);
    return single(picture, status);
}

ChainPage ChainTask::finish(const cv::Mat& picture, const PageGeometry& geometry,
                            const TaskStatus& status) const {
    ChainPage page;
    page.geometry = geometry;
    page.picture =
        isWhole(geometry, picture) ? picture : CropTask({geometry}).run(picture, status).page;
    // Each page of a split on its own: the two halves of a spread curve opposite ways.
    if (m_params.dewarp)
        page.picture = DewarpTask().run(page.picture, status).page;
    if (m_params.clean)
        page.picture = CleanTask().run(page.picture, status).page;
    return page;
}

ChainResult ChainTask::single(const cv::Mat& picture, const TaskStatus& status) const {
    PageGeometry geometry = wholePicture(picture.size());
    if (m_params.autoCrop) {
        if (const std::optional<Quad> quad = findDocument(picture, m_params.detectWidth, status))
            geometry = straightened(*quad);
        geometry = levelled(picture, geometry, status);
    }
    ChainResult result;
    result.pages.push_back(finish(picture, geometry, status));
    return result;
}

ChainResult ChainTask::split(const cv::Mat& picture, const TaskStatus& status) const {
    const std::optional<Quad> spread = findDocument(picture, m_params.detectWidth, status);
    if (spread) {
        // Find the spine on the straightened spread, where it stands upright.
        const PageGeometry flat = straightened(*spread);
        const PageGeometry small = look(flat, kSpineLookWidth);
        const cv::Mat view = CropTask({small}).run(picture, status).page;
        const SpineResult spine = SpineTask().run(view, status);
        const double middle = (view.cols - 1) / 2.0;
        const cv::Point2d top =
            small.toPicture(spine.found ? spine.top : cv::Point2d(middle, -0.5));
        const cv::Point2d bottom =
            small.toPicture(spine.found ? spine.bottom : cv::Point2d(middle, view.rows - 0.5));
        ChainResult result;
        if (m_params.autoCrop) {
            result.spine = {top, bottom};
            const auto& c = spread->corners;
            for (const Quad& half :
                 {Quad{{c[0], top, bottom, c[3]}}, Quad{{top, c[1], c[2], bottom}}})
                result.pages.push_back(
                    finish(picture, levelled(picture, straightened(half), status), status));
            return result;
        }
        // Without the crop the picture is cut straight down, where the spine crosses its middle
        // height.
        const int cut = std::clamp(static_cast<int>(std::lround((top.x + bottom.x) / 2 + 0.5)), 1,
                                   picture.cols - 1);
        result.spine = {cv::Point2d(cut - 0.5, -0.5), cv::Point2d(cut - 0.5, picture.rows - 0.5)};
        result.pages.push_back(finish(picture, pictureArea({0, 0, cut, picture.rows}), status));
        result.pages.push_back(
            finish(picture, pictureArea({cut, 0, picture.cols - cut, picture.rows}), status));
        return result;
    }

    // No spread outline: look for the spine across the middle of the whole picture, where a book
    // lying off centre still has it.
    const SpineResult spine = SpineTask({0.2, 0.8, kSpineLookWidth}).run(picture, status);
    const double x = spine.found ? (spine.top.x + spine.bottom.x) / 2 : (picture.cols - 1) / 2.0;
    const int cut = std::clamp(static_cast<int>(std::lround(x + 0.5)), 1, picture.cols - 1);
    ChainResult result;
    result.spine = {cv::Point2d(cut - 0.5, -0.5), cv::Point2d(cut - 0.5, picture.rows - 0.5)};
    for (const cv::Rect area :
         {cv::Rect(0, 0, cut, picture.rows), cv::Rect(cut, 0, picture.cols - cut, picture.rows)}) {
        PageGeometry geometry = pictureArea(area);
        if (m_params.autoCrop) {
            const cv::Mat half = picture(area);
            if (const std::optional<Quad> quad = findDocument(half, m_params.detectWidth, status))
                geometry = straightened(quad->translated({double(area.x), double(area.y)}));
            geometry = levelled(picture, geometry, status);
        }
        result.pages.push_back(finish(picture, geometry, status));
    }
    return result;
}

ChainResult ChainTask::cardCopy(const cv::Mat& picture, const TaskStatus& status) const {
    std::vector<Quad> cards = DetectTask({2, m_params.detectWidth}).run(picture, status).documents;
    ChainResult result;
    if (cards.empty()) {
        result.pages.push_back(finish(picture, wholePicture(picture.size()), status));
        return result;
    }
    readingOrder(cards);
    for (const Quad& card : cards)
        result.pages.push_back(
            finish(picture, levelled(picture, straightened(card), status), status));
    if (result.pages.size() == 1)
        return result;
    std::vector<cv::Mat> pictures;
    for (const ChainPage& page : result.pages)
        pictures.push_back(page.picture);
    ChainPage laidOut;
    laidOut.picture = CardCopyTask().run(pictures, status).page;
    result.pages = {laidOut};
    return result;
}

} // namespace camcore
