#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <cstdio>

// Debian's qt6-translations-l10n puts the catalogues where Qt looks for them. Without it Qt's
// dialogs stay English; the program says so once on the terminal and runs on.
void followLanguageInQtDialogs(int flag) {
    static QPointer<QTranslator> chinese;
    static bool missingTold = false;
    if (flag == 0 && chinese.isNull()) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QStringLiteral("qt_zh_CN"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator);
            chinese = translator;
            return;
        }
        delete translator;
        if (!missingTold)
            std::fprintf(stderr, "Qt's Chinese catalogue (qt6-translations-l10n) is missing: "
                                 "Qt's own dialogs stay in English\n");
        missingTold = true;
    } else if (flag == 1 && !chinese.isNull()) {
        QCoreApplication::removeTranslator(chinese);
        delete chinese;
    }
}
