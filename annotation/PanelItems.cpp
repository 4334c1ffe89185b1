#include "PanelItems.h"

namespace panel {
namespace {

constexpr int kMarginLeft = 15;
constexpr int kMarginTop = 5;
constexpr int kColumnGap = 30;
constexpr int kRowGap = 12;
constexpr int kItemSize = 25;

constexpr const char* kNames[kItemCount] = {"mouse",   "clean",  "pen",     "line", "texticon",
                                            "trangle", "rect",   "ellipse", "lw",   "color",
                                            "opcity",  "eraser", "back",    "quit"};

} // namespace

QRect itemRect(int i) {
    const int k = i + 1;
    const int row = k % 2 == 1 ? k / 2 : k / 2 - 1;
    const int x = k % 2 == 1 ? kMarginLeft : kColumnGap + kItemSize + kMarginLeft;
    return QRect(x, (kRowGap + kItemSize) * row + kMarginTop, kItemSize, kItemSize);
}

QString picturePath(int i, bool on) {
    return QStringLiteral(":/image/mark/") + QLatin1String(kNames[i]) +
           (on ? QStringLiteral("on.png") : QStringLiteral(".png"));
}

bool keepsHighlight(int i) {
    return i == kClean || i == kLineWidth || i == kColour || i == kOpacity;
}

} // namespace panel
