#include "Skins.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QStyleFactory>

namespace {

const char* const kSkinSheets[] = {":/image/chocolate.css", ":/image/blue.css",
                                   ":/image/mgreen.css",    ":/image/green.css",
                                   ":/image/pink.css",      ":/image/brown.css"};

} // namespace

void applySkinSheet(int index) {
    if (index < 1 || index > 6)
        return;
    QFile sheet(QString::fromLatin1(kSkinSheets[index - 1]));
    // A sheet that cannot be read installs as empty, which drops all styling.
    QByteArray text;
    if (sheet.open(QIODevice::ReadOnly))
        text = sheet.readAll();
    qApp->setStyleSheet(QString::fromLatin1(text));
}

void installDefaultSkin(QApplication& application) {
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    applySkinSheet(1);
    application.setPalette(QPalette(QColor(QStringLiteral("#F0F0F0"))));
}
