#include "process/watermark/Watermark.h"

#include <common/Utf8Cut.h>

#include <algorithm>

namespace camcore {

std::optional<Watermark> readWatermark(const _WATERMARKPARAM& record, int type, QSize source) {
    if (type != kWatermarkText && type != kWatermarkTextAndDate)
        return std::nullopt;
    Watermark mark;
    mark.withDate = type == kWatermarkTextAndDate;
    mark.text = QString::fromLocal8Bit(common::fieldText(record.szText, sizeof record.szText));
    mark.fontFamily =
        QString::fromLocal8Bit(common::fieldText(record.szFontName, sizeof record.szFontName));
    mark.fontPoints = record.nFontSize <= 0
                          ? Watermark::kDefaultFontPoints
                          : std::min<int>(record.nFontSize, Watermark::kMaxFontPoints);
    mark.color = QColor(record.byRed, record.byGreen, record.byBlue, record.byAlpha);
    mark.angle = std::clamp<int>(record.nAngle, -90, 90);
    mark.fixedPlace = record.bFixedPos != 0;
    if (mark.fixedPlace) {
        mark.place = record.nFixedPos >= 0 && record.nFixedPos <= 4 ? record.nFixedPos : 0;
    } else {
        const int right = source.isEmpty() ? INT32_MAX : source.width();
        const int bottom = source.isEmpty() ? INT32_MAX : source.height();
        mark.position = QPoint(std::clamp<int>(record.nPosX, 0, right),
                               std::clamp<int>(record.nPosY, 0, bottom));
    }
    return mark;
}

} // namespace camcore
