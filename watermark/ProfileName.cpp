#include "ProfileName.h"

#include "ui_ProfileName.h"

#include "Settings.h"

#include <common/Utf8Cut.h>

#include <QColorDialog>
#include <QFontDialog>

#include <algorithm>
#include <cstring>

namespace {

// The buttons' own wording (Chinese, English), in the order applyLanguage() sets them.
struct Text {
    const char* chinese;
    const char* english;
};

QString pick(const Text& text, int flag) {
    return QString::fromUtf8(flag == 0 ? text.chinese : text.english);
}

// Copies `text` into a NUL-terminated field, cut between two characters.
template <std::size_t N> void copyField(char (&field)[N], const QByteArray& text) {
    const QByteArray cut = common::utf8Prefix(text, N - 1);
    std::memcpy(field, cut.constData(), static_cast<std::size_t>(cut.size()));
}

} // namespace

// The first opening: the stored values into the widgets, in an order in which the connected
// slots see them (the labels follow their sliders).
ProfileName::ProfileName(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), ui(new Ui::ProfileName) {
    ui->setupUi(this);
    ui->textEdit->setFocus();
    ui->checkBoxTime->setChecked(m_settings.showTimeWater);
    connectSlots();

    ui->textEdit->setStyleSheet(QStringLiteral("QTextEdit{font: bold large;font-size:20px;}"));
    ui->textEdit->setPlainText(QString::fromLocal8Bit(m_settings.waterText));
    restoreMode();
    restorePlace();
    m_color = QColor(m_settings.waterRed, m_settings.waterGreen, m_settings.waterBlue);
    showColor();
    showPreview(ui->textEdit->font().family());

    ui->horizontalSlider->setRange(0, 255);
    ui->horizontalSlider->setValue(m_settings.waterAlpha);
    ui->horizontalSlider_AN->setRange(-90, 90);
    ui->horizontalSlider_AN->setValue(m_settings.waterAngle);
    ui->horizontalSlider_H->setRange(0, 100);
    ui->horizontalSlider_H->setValue(m_settings.hRatio);
    ui->horizontalSlider_V->setRange(0, 100);
    ui->horizontalSlider_V->setValue(m_settings.vRatio);
    for (QWidget* preset : {ui->radioButton, ui->radioButton_2, ui->radioButton_3})
        preset->hide();
}

ProfileName::~ProfileName() {
    delete ui;
}

void ProfileName::connectSlots() {
    using B = QAbstractButton;
    using S = QAbstractSlider;
    connect(ui->pushButtonFont, &B::clicked, this, &ProfileName::onSetFont);
    connect(ui->pushButtonColor, &B::clicked, this, &ProfileName::onSetColor);
    connect(ui->radioButtonPos, &B::clicked, this, &ProfileName::onRadioPos);
    connect(ui->radioButtonFixPos, &B::clicked, this, &ProfileName::onRadioFixPos);
    connect(ui->horizontalSlider, &S::valueChanged, this, &ProfileName::onOpacChanged);
    connect(ui->horizontalSlider_AN, &S::valueChanged, this, &ProfileName::onAncChanged);
    connect(ui->horizontalSlider_H, &S::valueChanged, this, &ProfileName::onHoriChanged);
    connect(ui->horizontalSlider_V, &S::valueChanged, this, &ProfileName::onVertiChanged);
    connect(ui->pushButtonOK, &B::clicked, this, &ProfileName::onOK);
    connect(ui->pushButtonCancel, &B::clicked, this, &ProfileName::onCancel);
    connect(ui->radioButton_LT, &B::clicked, this, &ProfileName::onradioButton_LT);
    connect(ui->radioButton_RT, &B::clicked, this, &ProfileName::onradioButton_RT);
    connect(ui->radioButton_RB, &B::clicked, this, &ProfileName::onradioButton_RB);
    connect(ui->radioButton_LB, &B::clicked, this, &ProfileName::onradioButton_LB);
    connect(ui->radioButton_M, &B::clicked, this, &ProfileName::onradioButton_M);
}

// A mode other than 0 and 1 checks neither button and leaves the controls as they are.
void ProfileName::restoreMode() {
    if (m_settings.waterMode == 0) {
        ui->radioButtonPos->setChecked(true);
        ui->radioButtonFixPos->setChecked(false);
        onRadioPos();
    } else if (m_settings.waterMode == 1) {
        ui->radioButtonPos->setChecked(false);
        ui->radioButtonFixPos->setChecked(true);
        onRadioFixPos();
    }
}

void ProfileName::restorePlace() {
    const QList<QAbstractButton*> places = {ui->radioButton_LT, ui->radioButton_RT,
                                            ui->radioButton_RB, ui->radioButton_LB,
                                            ui->radioButton_M};
    if (m_settings.waterPos >= 0 && m_settings.waterPos < places.size())
        places[m_settings.waterPos]->setChecked(true);
}

void ProfileName::showColor() {
    ui->pushButtonColor->setStyleSheet(QStringLiteral("background-color: rgb(%1, %2, %3);")
                                           .arg(m_color.red())
                                           .arg(m_color.green())
                                           .arg(m_color.blue()));
}

// The text edit shows the text in the chosen family and colour.
void ProfileName::showPreview(const QString& family) {
    ui->textEdit->setStyleSheet(
        QStringLiteral("QTextEdit{font: bold large \"%1\";font-size:20px;color:rgb(%2,%3,%4);}")
            .arg(family)
            .arg(m_color.red())
            .arg(m_color.green())
            .arg(m_color.blue()));
}

void ProfileName::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    setWindowTitle(pick({"水印设置", "Watermark setting"}, flag));
    const std::pair<QWidget*, Text> texts[] = {
        {ui->pushButtonFont, {"字体", "Font"}},
        {ui->pushButtonColor, {"颜色", "Color"}},
        {ui->label, {"透明度", "Opacity"}},
        {ui->label_7, {"旋转角度", "Rotation angle"}},
        {ui->checkBoxTime, {"添加时间", "Add date"}},
        {ui->radioButton, {"小字", "Small"}},
        {ui->radioButton_2, {"中字", "Middle"}},
        {ui->radioButton_3, {"大字", "Large"}},
        {ui->radioButtonPos, {"垂直水平定位", "Coordinate"}},
        {ui->radioButtonFixPos, {"固定位置", "Fixed position"}},
        {ui->label_3, {"水平偏移", "Horizontal offset"}},
        {ui->label_5, {"垂直偏移", "Vertical offset"}},
        {ui->radioButton_LT, {"左上角", "Left-top corner"}},
        {ui->radioButton_RT, {"右上角", "Right-top corner"}},
        {ui->radioButton_RB, {"右下角", "Right-bottom corner"}},
        {ui->radioButton_LB, {"左下角", "Left-bottom corner"}},
        {ui->radioButton_M, {"中间", "Middle"}},
        {ui->pushButtonOK, {"确定", "OK"}},
        {ui->pushButtonCancel, {"取消", "Cancel"}},
    };
    for (const auto& [widget, text] : texts) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(pick(text, flag));
        else if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(pick(text, flag));
    }
    ui->groupBox->setTitle(pick({"水印信息", "Information"}, flag));
    ui->groupBox_2->setTitle(pick({"水印位置", "Location"}, flag));
    ui->groupBox_4->setTitle(pick({"坐标", "Coordinate"}, flag));
    ui->groupBox_3->setTitle(pick({"固定位置", "Fixed position"}, flag));
}

// A font sized in pixels (-1) takes a preset; the presets are hidden and never checked, so 80.
int ProfileName::fontSizeOfRecord() const {
    if (m_settings.waterFontSize != -1)
        return m_settings.waterFontSize;
    if (ui->radioButton_2->isChecked())
        return 100;
    if (ui->radioButton_3->isChecked())
        return 120;
    return 80;
}

// The first checked of the five, top-left when none is.
int ProfileName::checkedPlace() const {
    const QAbstractButton* places[] = {ui->radioButton_LT, ui->radioButton_RT, ui->radioButton_RB,
                                       ui->radioButton_LB, ui->radioButton_M};
    for (int place = 0; place < 5; ++place)
        if (places[place]->isChecked())
            return place;
    return 0;
}

void ProfileName::FillWaterMarkParam(_WATERMARKPARAM& record, QSize frame) const {
    std::memset(&record, 0, sizeof record);
    copyField(record.szText, ui->textEdit->toPlainText().toLocal8Bit());
    copyField(record.szFontName, m_settings.waterFontFamily.toLocal8Bit());
    record.nFontSize = fontSizeOfRecord();
    record.byRed = static_cast<uint8_t>(m_color.red());
    record.byGreen = static_cast<uint8_t>(m_color.green());
    record.byBlue = static_cast<uint8_t>(m_color.blue());
    record.byAlpha = static_cast<uint8_t>(ui->horizontalSlider->value());
    record.nAngle = ui->horizontalSlider_AN->value();
    if (ui->radioButtonFixPos->isChecked()) {
        record.bFixedPos = 1;
        record.nFixedPos = checkedPlace();
        return;
    }
    // The ratios are single precision and the products truncated: 29 % of 1000 gives 289.
    // The quotient is taken in float: GCC 12 at -O2 dropped the narrowing of a double quotient
    // to float, and 29 % of 1000 came out as 290.
    const float h = static_cast<float>(ui->horizontalSlider_H->value()) / 100.0F;
    const float v = static_cast<float>(ui->horizontalSlider_V->value()) / 100.0F;
    record.nPosX = static_cast<int32_t>(static_cast<double>(frame.width()) * h);
    record.nPosY = static_cast<int32_t>(static_cast<double>(frame.height()) * v);
}

bool ProfileName::addsDate() const {
    return ui->checkBoxTime->isChecked();
}

void ProfileName::storeSettings() const {
    m_settings.waterText = ui->textEdit->toPlainText().toLocal8Bit();
    m_settings.waterRed = m_color.red();
    m_settings.waterGreen = m_color.green();
    m_settings.waterBlue = m_color.blue();
    m_settings.showTimeWater = ui->checkBoxTime->isChecked();
    m_settings.hRatio = ui->horizontalSlider_H->value();
    m_settings.vRatio = ui->horizontalSlider_V->value();
    m_settings.waterAlpha = ui->horizontalSlider->value();
}

// Qt's own dialogs, never the desktop's: they look alike everywhere and tests can answer them.
void ProfileName::onSetFont() {
    QFont initial(m_settings.waterFontFamily);
    if (m_settings.waterFontSize > 0)
        initial.setPointSize(m_settings.waterFontSize);
    bool accepted = false;
    const QFont font =
        QFontDialog::getFont(&accepted, initial, this, QString(), QFontDialog::DontUseNativeDialog);
    if (!accepted)
        return;
    m_settings.waterFontSize = font.pointSize();
    m_settings.waterFontFamily = font.family();
    ui->labelFont->setText(font.family());
    showPreview(font.family());
}

void ProfileName::onSetColor() {
    const QColor color =
        QColorDialog::getColor(m_color, this, QString(), QColorDialog::DontUseNativeDialog);
    if (!color.isValid())
        return;
    m_color = color;
    showColor();
    showPreview(ui->textEdit->font().family());
}

void ProfileName::onRadioPos() {
    ui->horizontalSlider_H->setEnabled(true);
    ui->horizontalSlider_V->setEnabled(true);
    for (QWidget* place : {ui->radioButton_LT, ui->radioButton_RT, ui->radioButton_RB,
                           ui->radioButton_LB, ui->radioButton_M})
        place->setEnabled(false);
    m_settings.waterMode = 0;
}

void ProfileName::onRadioFixPos() {
    ui->horizontalSlider_H->setEnabled(false);
    ui->horizontalSlider_V->setEnabled(false);
    for (QWidget* place : {ui->radioButton_LT, ui->radioButton_RT, ui->radioButton_RB,
                           ui->radioButton_LB, ui->radioButton_M})
        place->setEnabled(true);
    m_settings.waterMode = 1;
}

void ProfileName::onOpacChanged(int value) {
    ui->labelPercent->setText(QString::number(value));
}

void ProfileName::onAncChanged(int value) {
    ui->labelPercent_AN->setText(QString::number(value));
    m_settings.waterAngle = value;
}

void ProfileName::onHoriChanged(int value) {
    ui->labelPercent_H->setText(QString::number(value));
}

void ProfileName::onVertiChanged(int value) {
    ui->labelPercent_V->setText(QString::number(value));
}

void ProfileName::onOK() {
    emit okClicked();
    hide();
}

void ProfileName::onCancel() {
    hide();
}

void ProfileName::onradioButton_LT() {
    m_settings.waterPos = 0;
}
void ProfileName::onradioButton_RT() {
    m_settings.waterPos = 1;
}
void ProfileName::onradioButton_RB() {
    m_settings.waterPos = 2;
}
void ProfileName::onradioButton_LB() {
    m_settings.waterPos = 3;
}
void ProfileName::onradioButton_M() {
    m_settings.waterPos = 4;
}
