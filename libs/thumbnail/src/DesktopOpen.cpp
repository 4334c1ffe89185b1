#include "DesktopOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QUrl>

namespace thumbnail {

void openWithDesktop(const QString& path, int language, QWidget* parent) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    const bool chinese = language == 0;
    const QString title = chinese ? QStringLiteral("提示") : QStringLiteral("Information");
    const QString text =
        chinese ? QStringLiteral("无法打开 %1") : QStringLiteral("Could not open %1");
    // Window-modal and shown with open(): the strip's caller may be in the middle of a capture.
    auto* box = new QMessageBox(QMessageBox::Warning, title,
                                text.arg(QDir::toNativeSeparators(path)), QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace thumbnail
