#include "MainForm.h"

#include <QApplication>
#include <QFile>

namespace {

const char* const kSkinSheets[] = {":/image/chocolate.css", ":/image/blue.css",
                                   ":/image/mgreen.css",    ":/image/green.css",
                                   ":/image/pink.css",      ":/image/brown.css"};

} // namespace

// An index outside 1..6 changes no sheet but is still stored, and written back at exit.
void MainForm::applySkin(int index) {
    if (index >= 1 && index <= 6) {
        QFile sheet(QString::fromLatin1(kSkinSheets[index - 1]));
        // A sheet that cannot be read installs as empty, which drops all styling.
        QByteArray text;
        if (sheet.open(QIODevice::ReadOnly))
            text = sheet.readAll();
        qApp->setStyleSheet(QString::fromLatin1(text));
    }
    m_settings.uiIndex = index;
}
