#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

namespace Ui {
class QSetFolderDlg;
}

class QWidget;

// Why a folder cannot be the work folder, in the window's language; empty when it can.
QString folderRefusal(const QString& folder, int language);

// Asks for a folder, starting in `start` (the documents folder when `start` is gone), and returns
// it in local 8-bit form when it takes files. A folder that does not gets the message that says
// so, and nothing is returned.
QByteArray chooseWritableFolder(QWidget* parent, int language, const QString& start);

// Shows the folder in the desktop's file manager; false when no file manager took it.
bool showFolder(const QByteArray& path);
// The sentence that says the folder could not be shown.
QString noFileManagerText(int language);

// Shows the work folder and lets the user type, paste or choose another one, or open it.
class QSetFolderDlg : public QDialog {
    Q_OBJECT

public:
    QSetFolderDlg(const QByteArray& workPath, QWidget* parent = nullptr);
    ~QSetFolderDlg() override;

    void applyLanguage(int flag);

public slots:
    void onBrowser();
    void onOpenFolder();

signals:
    // A folder the user chose and that takes files.
    void folderChosen(const QByteArray& folder);

private:
    void onPathEdited();
    void take(const QByteArray& folder);
    void showStatus(const QString& text);

    Ui::QSetFolderDlg* ui;
    QByteArray m_workPath;
    int m_language = 1;
};
