#include "Message.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>

#include <utility>

namespace platform {
namespace {

MessageInterceptor& interceptor() {
    static MessageInterceptor installed;
    return installed;
}

// A box widens to its longest line, and a deep path can make it wider than the screen: a path
// (a run without spaces that holds a "/") longer than half the screen is elided in its middle.
QString fitted(const QString& text, const QFontMetrics& metrics, int room) {
    QStringList words = text.split(QLatin1Char(' '));
    for (QString& word : words)
        if (word.contains(QLatin1Char('/')) && metrics.horizontalAdvance(word) > room)
            word = metrics.elidedText(word, Qt::ElideMiddle, room);
    return words.join(QLatin1Char(' '));
}

} // namespace

void showMessage(const QString& title, const QString& text) {
    if (interceptor()) {
        interceptor()(title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QString shown =
        screen != nullptr ? fitted(text, box.fontMetrics(), screen->availableGeometry().width() / 2)
                          : text;
    if (shown != text) {
        box.setText(shown);
        box.setToolTip(text); // the whole path
    }
    box.exec();
}

MessageInterceptor setMessageInterceptor(MessageInterceptor replacement) {
    return std::exchange(interceptor(), std::move(replacement));
}

} // namespace platform
