#include "TextFont.h"

#include <QStringList>

QFont annotationTextFont() {
    QFont font;
    font.setPointSize(50);
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    return font;
}
