#include "MainForm.h"

#include "platform/X11Windows.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace {
const QByteArray kDriverWindow = "ZoTwainDriver";
}

// A waiting driver program gets the checked strip items and is told to close; the event is always
// accepted.
void MainForm::closeEvent(QCloseEvent* event) {
    if (const auto driver = platform::findWindowByTitle(kDriverWindow)) {
        onCommit();
        platform::requestWindowClose(*driver);
    }
    event->accept();
}

// Minimising, hiding for a full-screen mode or closing all hand the strip over. The posted event
// only runs closeEvent(); it does not close this window.
void MainForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    postCloseEvent();
}

void MainForm::postCloseEvent() {
    QCoreApplication::postEvent(this, new QCloseEvent);
}

void MainForm::on_pPushButton_Cancel_clicked() {
    postCloseEvent();
}

void MainForm::on_pPushButton_Cancel_clicked(bool) {
    postCloseEvent();
}
