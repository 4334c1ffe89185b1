#include "MainForm.h"

#include "ui_MainForm.h"

#include "ZoApi.h"

#include <QSignalBlocker>

namespace {

constexpr int kColorModes = 3; // colour, grey, black and white

} // namespace

// Also runs on every language switch: the list is refilled without signals and shows the stored
// mode again, so neither the mode nor the extension the format list chose since is touched. Only
// the first fill at start-up sets the extension.
void MainForm::InitPixtype() {
    const bool firstFill = ui->comboBoxColor->count() == 0;
    if (m_settings.pixtype < 0 || m_settings.pixtype >= kColorModes)
        m_settings.pixtype = 0;
    {
        const QSignalBlocker blocker(ui->comboBoxColor);
        ui->comboBoxColor->clear();
        if (m_language == 0)
            ui->comboBoxColor->addItems(
                {QStringLiteral("彩色"), QStringLiteral("灰度"), QStringLiteral("黑白")});
        else
            ui->comboBoxColor->addItems({QStringLiteral("Color"), QStringLiteral("Gray"),
                                         QStringLiteral("Black and white")});
        ui->comboBoxColor->setCurrentIndex(m_settings.pixtype);
    }
    ZoSetDevColor(m_settings.devIndex, m_settings.pixtype);
    ApplyColorMode(m_settings.pixtype, firstFill);
}

void MainForm::onColorChange() {
    const int mode = ui->comboBoxColor->currentIndex();
    if (mode < 0 || mode >= kColorModes)
        return;
    m_settings.pixtype = mode;
    ZoSetDevColor(m_settings.devIndex, mode);
    ApplyColorMode(mode, true);
}

// Colour goes with the card preset, grey with the document preset; black and white is saved as
// TIFF and belongs to neither.
void MainForm::ApplyColorMode(int mode, bool setExtension) {
    if (mode == 0) {
        ui->radioButtonCredent->setChecked(true);
    } else if (mode == 1) {
        ui->radioButtonDocument->setChecked(true);
    } else {
        // Exclusive buttons cannot be unchecked one by one.
        for (QRadioButton* button : {ui->radioButtonCredent, ui->radioButtonDocument}) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
    if (setExtension)
        m_fileExt = mode == 2 ? ".tif" : ".jpg";
}

void MainForm::onRadioDoc() {
    if (ui->radioButtonDocument->isChecked())
        ui->comboBoxColor->setCurrentIndex(2);
}

void MainForm::onRadioCred() {
    if (ui->radioButtonCredent->isChecked())
        ui->comboBoxColor->setCurrentIndex(0);
}
