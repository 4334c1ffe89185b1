#include "QSettingDlg.h"

#include "Settings.h"
#include "ZoApi.h"
#include "platform/Language.h"
#include "platform/Message.h"
#include "ui_QSettingDlg.h"

#include <QLocale>

#include <cmath>

namespace {

// The OCR export choices in list order, with the extension each stores.
struct OcrChoice {
    const char* item;
    const char* extension;
};
constexpr OcrChoice kOcrChoices[] = {
    {"Word", "rtf"}, {"Excel", "xls"}, {"PDF", "pdf"}, {"Txt", "txt"}};

// The engine refuses any other ratio, so only these are stored.
bool acceptableRatio(double ratio) {
    return std::isfinite(ratio) && ratio > 0.0 && ratio <= 10.0;
}

} // namespace

// Each list is filled before its slot is connected, so filling changes nothing.
QSettingDlg::QSettingDlg(Settings& settings, QString& ocrExtension, SetResize setResize,
                         QWidget* parent)
    : QDialog(parent), ui(new Ui::QSettingDlg), m_settings(settings), m_ocrExtension(ocrExtension),
      m_setResize(std::move(setResize)) {
    ui->setupUi(this);
    fillMicrophones();
    connect(ui->comboBoxAudio, &QComboBox::currentIndexChanged, this, &QSettingDlg::onAudioChange);
    fillResize();
    connect(ui->checkBoxResize, &QCheckBox::clicked, this, &QSettingDlg::onResize);
    connect(ui->lineEditResizeRatio, &QLineEdit::textChanged, this, &QSettingDlg::onRatioChange);
    fillOcrChoices();
    connect(ui->comboBoxOCRRes, &QComboBox::currentIndexChanged, this,
            &QSettingDlg::onOCRExtChange);
}

QSettingDlg::~QSettingDlg() {
    delete ui;
}

void QSettingDlg::edit(Settings& settings, QString& ocrExtension, SetResize setResize) {
    QSettingDlg dialog(settings, ocrExtension, std::move(setResize));
    dialog.applyLanguage(settings.language);
    dialog.exec();
}

void QSettingDlg::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    const auto pick = [flag](const char* chinese, const char* english) {
        return platform::text(flag, chinese, english);
    };
    setWindowTitle(pick("设置", "Settings"));
    ui->groupBox->setTitle(pick("录像设置", "Record settings"));
    ui->label->setText(pick("麦克风:", "Microphone:"));
    ui->groupBox_2->setTitle(pick("缩放设置", "Resize"));
    ui->checkBoxResize->setText(pick("是否缩放", "Resize captures"));
    ui->label_2->setText(pick("缩放比率:", "Ratio:"));
    ui->groupBox_3->setTitle(pick("OCR生成结果", "OCR results"));
    ui->label_3->setText(pick("导出为:", "Save as:"));
    m_language = flag;
    if (ui->lineEditResizeRatio->property("invalid").toBool())
        showRatioValid(false);
}

// The list the recordings choose from; the engine reads it afresh for each call of the count.
void QSettingDlg::fillMicrophones() {
    const int count = ZoGetAudioCount();
    if (count <= 0) {
        platform::showMessage(QString(), m_settings.language == 1
                                             ? QStringLiteral("No microphone was found.")
                                             : QStringLiteral("未发现录音设备!"));
        return;
    }
    for (int i = 0; i < count; ++i) {
        const char* name = ZoGetAudioName(i);
        ui->comboBoxAudio->addItem(QString::fromLocal8Bit(name != nullptr ? name : ""));
    }
    ui->comboBoxAudio->setCurrentIndex(m_settings.audioIndex);
}

void QSettingDlg::fillResize() {
    ui->checkBoxResize->setChecked(m_settings.resizeImage);
    ui->lineEditResizeRatio->setEnabled(m_settings.resizeImage);
    // 'g' prints 1.0 as "1" and 0.5 as "0.5", always with a point.
    ui->lineEditResizeRatio->setText(QStringLiteral("%0").arg(m_settings.resizeImageRatio, 0, 'g'));
}

void QSettingDlg::fillOcrChoices() {
    for (const OcrChoice& choice : kOcrChoices) {
        ui->comboBoxOCRRes->addItem(QLatin1String(choice.item));
        if (m_ocrExtension == QLatin1String(choice.extension))
            ui->comboBoxOCRRes->setCurrentIndex(ui->comboBoxOCRRes->count() - 1);
    }
}

void QSettingDlg::onAudioChange() {
    const int index = ui->comboBoxAudio->currentIndex();
    if (index == m_settings.audioIndex)
        return;
    m_settings.audioIndex = index;
    ZoSetAudioDev(index);
}

void QSettingDlg::onResize() {
    const bool enable = ui->checkBoxResize->isChecked();
    ui->lineEditResizeRatio->setEnabled(enable);
    m_setResize(enable, static_cast<float>(m_settings.resizeImageRatio));
}

// Read with a decimal point whatever the user's locale, as the settings file writes it. A text
// the engine would refuse is neither stored nor sent: the dialog, the file and the captures
// keep agreeing on the last good ratio.
void QSettingDlg::onRatioChange() {
    bool number = false;
    const double ratio = QLocale::c().toDouble(ui->lineEditResizeRatio->text().trimmed(), &number);
    const bool valid = number && acceptableRatio(ratio);
    showRatioValid(valid);
    if (valid)
        m_setResize(m_settings.resizeImage, static_cast<float>(ratio));
}

void QSettingDlg::onOCRExtChange() {
    const int index = ui->comboBoxOCRRes->currentIndex();
    if (index < 0 || index >= static_cast<int>(std::size(kOcrChoices)))
        return;
    m_ocrExtension = QLatin1String(kOcrChoices[index].extension);
}

void QSettingDlg::showRatioValid(bool valid) {
    QLineEdit* edit = ui->lineEditResizeRatio;
    edit->setProperty("invalid", !valid);
    edit->setStyleSheet(valid ? QString()
                              : QStringLiteral("QLineEdit{border: 2px solid #E02020;}"));
    if (valid)
        edit->setToolTip(QString());
    else
        edit->setToolTip(m_language == 0
                             ? QStringLiteral("缩放比率须为大于0且不超过10的数")
                             : QStringLiteral("The ratio must be a number above 0 and at most 10"));
}
