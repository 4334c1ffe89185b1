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
                                            "opcity",  "eraser", "back",    "quit", "undo"};

// The pictures say little to a first-time user; the tool tips say it in words.
constexpr const char* kTips[kItemCount][2] = {
    {"鼠标", "Mouse"},      {"清除", "Clear all"},
    {"画笔", "Pen"},        {"直线", "Line"},
    {"文字", "Text"},       {"三角形", "Triangle"},
    {"矩形", "Rectangle"},  {"椭圆", "Ellipse"},
    {"线宽", "Line width"}, {"颜色", "Color"},
    {"透明度", "Opacity"},  {"橡皮擦", "Eraser"},
    {"返回", "Back"},       {"退出程序", "Quit the program"},
    {"撤销", "Undo"}};

} // namespace

QRect itemRect(int i) {
    const int k = i + 1;
    const int row = k % 2 == 1 ? k / 2 : k / 2 - 1;
    const int x = k % 2 == 1 ? kMarginLeft : kColumnGap + kItemSize + kMarginLeft;
    return QRect(x, (kRowGap + kItemSize) * row + kMarginTop, kItemSize, kItemSize);
}

int panelHeight() {
    return itemRect(kItemCount - 1).bottom() + 1 + kMarginTop;
}

QString toolTip(int i, int language) {
    return QString::fromUtf8(kTips[i][language == 0 ? 0 : 1]);
}

QString picturePath(int i, bool on) {
    return QStringLiteral(":/image/mark/") + QLatin1String(kNames[i]) +
           (on ? QStringLiteral("on.png") : QStringLiteral(".png"));
}

bool keepsHighlight(int i) {
    return i == kClean || i == kLineWidth || i == kColour || i == kOpacity || i == kUndo;
}

} // namespace panel
