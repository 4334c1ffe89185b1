#include "QSetUIDlg.h"

#include "SkinSwatches.h"
#include "ui_QSetUIDlg.h"

QSetUIDlg::QSetUIDlg(ApplySkin applySkin, QWidget* parent)
    : QDialog(parent), ui(new Ui::QSetUIDlg), m_applySkin(std::move(applySkin)) {
    ui->setupUi(this);
    // In skin index order, so that each swatch shows the colour of the skin it applies.
    QPushButton* const swatches[] = {ui->pushButtonChocolate, ui->pushButtonBlue,
                                     ui->pushButtonMGreen,    ui->pushButtonGreen,
                                     ui->pushButtonPink,      ui->pushButtonBrown};
    for (int i = 0; i < 6; ++i)
        swatches[i]->setStyleSheet(
            QStringLiteral("background-color: %1;").arg(QLatin1String(kSkinSwatches[i])));
    connect(ui->pushButtonChocolate, &QPushButton::clicked, this, &QSetUIDlg::onChocolate);
    connect(ui->pushButtonBlue, &QPushButton::clicked, this, &QSetUIDlg::onBlue);
    connect(ui->pushButtonMGreen, &QPushButton::clicked, this, &QSetUIDlg::onMGreen);
    connect(ui->pushButtonGreen, &QPushButton::clicked, this, &QSetUIDlg::onGreen);
    connect(ui->pushButtonPink, &QPushButton::clicked, this, &QSetUIDlg::onPink);
    connect(ui->pushButtonBrown, &QPushButton::clicked, this, &QSetUIDlg::onBrown);
}

QSetUIDlg::~QSetUIDlg() {
    delete ui;
}

void QSetUIDlg::choose(int language, ApplySkin applySkin) {
    QSetUIDlg dialog(std::move(applySkin));
    dialog.applyLanguage(language);
    dialog.exec();
}

void QSetUIDlg::applyLanguage(int flag) {
    if (flag == 0) {
        setWindowTitle(QStringLiteral("界面设置"));
        ui->label->setText(QStringLiteral("请点击按钮设置选择相应的界面"));
    } else if (flag == 1) {
        setWindowTitle(QStringLiteral("Skin setting"));
        ui->label->setText(
            QStringLiteral("Please click on the button to select the appropriate interface."));
    }
}

void QSetUIDlg::pick(int index) {
    if (m_applySkin)
        m_applySkin(index);
    accept();
}

void QSetUIDlg::onChocolate() {
    pick(1);
}

void QSetUIDlg::onBlue() {
    pick(2);
}

void QSetUIDlg::onMGreen() {
    pick(3);
}

void QSetUIDlg::onGreen() {
    pick(4);
}

void QSetUIDlg::onPink() {
    pick(5);
}

void QSetUIDlg::onBrown() {
    pick(6);
}
