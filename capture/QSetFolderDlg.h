#pragma once

#include <QByteArray>
#include <QDialog>

namespace Ui {
class QSetFolderDlg;
}

class QWidget;

// Asks for a folder, starting in the documents folder, and returns it in local 8-bit form when it
// takes files. A folder that does not gets the message that says so, and nothing is returned.
QByteArray chooseWritableFolder(QWidget* parent);

// Shows the folder in the desktop's file manager.
void showFolder(const QByteArray& path);

// Shows the work folder and lets the user choose another one or open it.
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
    Ui::QSetFolderDlg* ui;
    QByteArray m_workPath;
};
