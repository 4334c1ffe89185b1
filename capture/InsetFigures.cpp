#include "InsetFigures.h"

#include <cmath>

namespace {

int scaled(int screen, float ratio) {
    return static_cast<int>(std::trunc(screen * static_cast<double>(ratio)));
}

} // namespace

std::optional<InsetFigures> insetFigures(QSize picture, const QRect& video, const QRect& window) {
    const int vw = video.width();
    const int vh = video.height();
    if (vw <= 0 || vh <= 0 || picture.width() <= 0 || picture.height() <= 0)
        return std::nullopt;
    const auto fx = static_cast<float>(static_cast<double>(picture.width()) / vw);
    const auto fy = static_cast<float>(static_cast<double>(picture.height()) / vh);
    const QPoint offset = window.topLeft() - video.topLeft();
    return InsetFigures{scaled(window.width(), fx), scaled(window.height(), fy),
                        scaled(offset.x(), fx), scaled(vh - offset.y() - window.height(), fy)};
}
