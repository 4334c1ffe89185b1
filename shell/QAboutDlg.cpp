#include "QAboutDlg.h"

#include "ui_QAboutDlg.h"

#include <QDesktopServices>
#include <QPainter>
#include <QUrl>

namespace {

// Set by the build from the project version and the day of the build.
const QString kVersion = QStringLiteral(DOCSCANNER_VERSION);
const QString kBuildDate = QStringLiteral(DOCSCANNER_BUILD_DATE);

const QRect kLogoRect(360, 100, 100, 100);

// The welcome line's calligraphic family is a Windows font; Linux draws it with a CJK font.
QFont welcomeFont() {
    QFont font;
    font.setFamilies({QStringLiteral("华文行楷"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(28);
    return font;
}

} // namespace

QAboutDlg::QAboutDlg(QWidget* parent)
    : QDialog(parent), ui(new Ui::QAboutDlg), m_logo(QStringLiteral(":/image/Papyra.png")) {
    ui->setupUi(this);
    ui->label->setFont(welcomeFont());
    QFont version = ui->label_5->font();
    version.setPointSize(16);
    ui->label_5->setFont(version);
    ui->labelURL_2->setOpenExternalLinks(false);
    ui->labelURL_2->setText(QStringLiteral("<a href=\"https://www.papyra.example/\">"
                                           "www.papyra.example</a>"));
}

QAboutDlg::~QAboutDlg() {
    delete ui;
}

void QAboutDlg::present(int language) {
    QAboutDlg dialog;
    dialog.applyLanguage(language);
    dialog.exec();
}

void QAboutDlg::applyLanguage(int flag) {
    if (flag == 0) {
        setWindowTitle(QStringLiteral("关于高拍仪软件"));
        ui->label->setText(QStringLiteral("欢迎使用高拍仪软件"));
        ui->label_5->setText(QStringLiteral("版本: ") + kVersion);
        ui->label_9->setText(QStringLiteral("更新日期: ") + kBuildDate);
    } else if (flag == 1) {
        setWindowTitle(QStringLiteral("About Document scanner"));
        ui->label->setText(QStringLiteral("Welcome to Document scanner"));
        ui->label_5->setText(QStringLiteral("Version: ") + kVersion);
        ui->label_9->setText(QStringLiteral("Update date: ") + kBuildDate);
    }
}

void QAboutDlg::openUrlEx(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

void QAboutDlg::openPapyraUrlEx(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

void QAboutDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(kLogoRect, m_logo);
}
