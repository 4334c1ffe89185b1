#include "IconHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>

IconHelper& IconHelper::instance() {
    // Created once on first use, thread-safely, and owned by the application object.
    static IconHelper* const helper = new IconHelper(qApp);
    return *helper;
}

IconHelper::IconHelper(QObject* parent) : QObject(parent) {
    const int id =
        QFontDatabase::addApplicationFont(QStringLiteral(":/image/fontawesome-webfont.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty())
        iconFont = QFont(families.first());
}

void IconHelper::setIcon(QLabel* label, QChar glyph, int pointSize) {
    iconFont.setPointSize(pointSize);
    label->setFont(iconFont);
    label->setText(glyph);
}

void IconHelper::setIcon(QAbstractButton* button, QChar glyph, int pointSize) {
    iconFont.setPointSize(pointSize);
    button->setFont(iconFont);
    button->setText(glyph);
}
