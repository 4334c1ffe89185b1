#include "Skins.h"

#include <QApplication>
#include <QFile>

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
