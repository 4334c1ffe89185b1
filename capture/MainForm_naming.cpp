#include "MainForm.h"

#include "ui_MainForm.h"

#include "FileNaming.h"
#include "ZoApi.h"
#include "platform/Message.h"

#include <QDateTime>
#include <QFile>
#include <QSignalBlocker>

#include <climits>
#include <optional>

namespace {

enum NameRule { Automatic = 0, Barcode = 1, Date = 2, Custom = 3 };

// Under multi-page PDF every capture adds a page to the same file, so the name must not move on.
constexpr int kMultiPagePdf = 2;

QString text(int language, const char* chinese, const char* english) {
    return QString::fromUtf8(language == 0 ? chinese : english);
}

// A field's entry as a whole number, or nothing.
std::optional<int> wholeNumber(const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QByteArray MainForm::MakeFileName() {
    switch (m_settings.nameRule) {
    case Automatic: {
        const QByteArray name = naming::confined(naming::automaticName(
            m_settings.prefixName, m_settings.fileNameNum, m_settings.fileNameCount));
        if (m_formatIndex != kMultiPagePdf)
            m_settings.fileNameCount =
                naming::advancedCounter(m_settings.fileNameCount, m_settings.fileNameStep);
        ui->lineEditFileNameInit->setText(QString::number(m_settings.fileNameCount));
        return name;
    }
    case Barcode:
        return naming::barcodeName(ZoReadBarcode(m_settings.devIndex));
    case Date:
        return naming::dateName(QDateTime::currentDateTime());
    case Custom:
        return naming::confined(ui->lineEditFileName->text().toLocal8Bit());
    default:
        return {};
    }
}

// A name that is taken replaces the older file: there is no renaming and no question.
QByteArray MainForm::MakeSavePath() {
    const QByteArray path = m_imageDir + '/' + MakeFileName() + m_fileExt;
    const QString file = QString::fromLocal8Bit(path);
    if (QFile::exists(file))
        QFile::remove(file);
    return path;
}

void MainForm::InitNameRule() {
    {
        const QSignalBlocker blocker(ui->comboBoxNameRule);
        ui->comboBoxNameRule->clear();
        ui->comboBoxNameRule->addItems({text(m_language, "自动命名", "Automatic naming"),
                                        text(m_language, "条码命名", "Barcode naming"),
                                        text(m_language, "日期命名", "Date naming"),
                                        text(m_language, "自定义", "Custom naming")});
        ui->comboBoxNameRule->setCurrentIndex(m_settings.nameRule);
    }
    showNamePanel(m_settings.nameRule);
}

void MainForm::onNameRuleChange() {
    const int rule = ui->comboBoxNameRule->currentIndex();
    if (rule == m_settings.nameRule)
        return;
    m_settings.nameRule = rule;
    if (rule == Custom)
        ui->lineEditFileName->clear();
    showNamePanel(rule);
}

// The automatic rule shows its four fields with the stored values, the custom rule the name
// field alone; the others need no field.
void MainForm::showNamePanel(int rule) {
    QWidget* const counterFields[] = {ui->labelFileNameCount, ui->lineEditFileNameCount,
                                      ui->labelFileNameStep,  ui->lineEditFileNameStep,
                                      ui->labelFileNameInit,  ui->lineEditFileNameInit};
    const bool automatic = rule == Automatic;
    const bool named = automatic || rule == Custom;
    ui->labelFileName->setVisible(named);
    ui->lineEditFileName->setVisible(named);
    for (QWidget* field : counterFields)
        field->setVisible(automatic);
    if (automatic) {
        ui->labelFileName->setText(text(m_language, "前缀:", "Prefix:"));
        ui->lineEditFileName->resize(51, 20);
        ui->lineEditFileName->setText(QString::fromLocal8Bit(m_settings.prefixName));
        ui->lineEditFileNameCount->setText(QString::number(m_settings.fileNameNum));
        ui->lineEditFileNameStep->setText(QString::number(m_settings.fileNameStep));
        ui->lineEditFileNameInit->setText(QString::number(m_settings.fileNameCount));
    } else if (rule == Custom) {
        ui->labelFileName->setText(QStringLiteral("文件名:"));
        ui->lineEditFileName->resize(120, 20);
    }
}

// Under the custom rule the field is read at each capture instead.
void MainForm::onFileNameChange() {
    if (m_settings.nameRule == Automatic)
        m_settings.prefixName = ui->lineEditFileName->text().toLocal8Bit();
}

namespace {

// Stores an accepted entry; a rejected one puts the stored value back and says what is wanted.
// The field is restored before the message, whose box takes the focus: the field then has
// nothing new to report when it loses it.
void acceptNumber(QLineEdit* edit, int& stored, int low, int high, const char* message) {
    const std::optional<int> value = wholeNumber(edit);
    if (value && *value >= low && *value <= high) {
        stored = *value;
        return;
    }
    edit->setText(QString::number(stored));
    platform::showMessage(QStringLiteral("提示"), QString::fromUtf8(message));
}

} // namespace

void MainForm::onFileNameCountChange() {
    acceptNumber(ui->lineEditFileNameCount, m_settings.fileNameNum, 1, 20,
                 "请输入[1-20]之间的数字!");
}

void MainForm::onFileNameStepChange() {
    acceptNumber(ui->lineEditFileNameStep, m_settings.fileNameStep, 1, 100,
                 "请输入[1-100]之间的数字!");
}

void MainForm::onFileNameInitChange() {
    acceptNumber(ui->lineEditFileNameInit, m_settings.fileNameCount, INT_MIN, INT_MAX,
                 "请输入整数!");
}
