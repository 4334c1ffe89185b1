#pragma once

#include <QDialog>

namespace Ui {
class QAboutDlg;
}

// The welcome line, the program's version and build date, the maker's address and the logo.
class QAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit QAboutDlg(QWidget* parent = nullptr);
    ~QAboutDlg() override;

    // Opens the dialog in `language` and returns when it is closed.
    static void present(int language);

    void applyLanguage(int flag);

public slots:
    // Nothing is connected to these: the address is shown, not opened.
    void openUrlEx(const QString& url);
    void openPapyraUrlEx(const QString& url);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Ui::QAboutDlg* ui;
    QPixmap m_logo;
};
