#pragma once

#include <QDialog>
#include <QString>

class LanguageSource;

namespace Ui {
class QFingerShowDlg;
} // namespace Ui

// Asks for a name to enrol a finger under, or for a finger to identify. The work is done by
// whoever answers the signals.
class QFingerShowDlg : public QDialog {
    Q_OBJECT

public:
    // Shows its texts in the language of `language`, and follows it.
    explicit QFingerShowDlg(const LanguageSource& language, QWidget* parent = nullptr);
    ~QFingerShowDlg() override;

    void applyLanguage(int flag);

public slots:
    void onFingerPrintGet();
    void onFingerPrintMatch();

signals:
    // The name as typed, possibly empty.
    void enrolRequested(QString name);
    void matchRequested();

private:
    Ui::QFingerShowDlg* ui;
};
