#include "MainForm.h"

#include "ui_MainForm.h"

#include "FileNaming.h"
#include "ZoApi.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QFile>
#include <QSignalBlocker>

namespace {

struct Format {
    const char* chinese;
    const char* english;
    const char* extension;
    int pdfMode; // -1: not a PDF
};

// In the order of the format list.
constexpr Format kFormats[] = {
    {"JPG", "JPG", ".jpg", -1},
    {"单页PDF", "Single page PDF", ".pdf", 1},
    {"多页PDF", "Multi page PDF", ".pdf", 0},
    {"BMP", "BMP", ".bmp", -1},
    {"TIF", "TIF", ".tif", -1},
    {"PNG", "PNG", ".png", -1},
    {"TIFF", "TIFF", ".tiff", -1},
};
constexpr int kFormatCount = int(std::size(kFormats));

bool isPdf(int formatIndex) {
    return formatIndex >= 0 && formatIndex < kFormatCount && kFormats[formatIndex].pdfMode >= 0;
}

} // namespace

// The watermark stays in the picture only while its box is checked.
void MainForm::onScan() {
    const int main = m_settings.devIndex;
    if (!ui->checkBoxWaterMark->isChecked())
        ZoClearWatermark(main);
    if (ui->checkBoxMix->isChecked()) {
        CaptureMixed();
    } else if (ui->checkBoxPIP->isChecked()) {
        if (ui->checkBoxInVideo->isChecked()) {
            const QByteArray path = CaptureCombineMainSub();
            if (!path.isEmpty())
                m_thumbnails.addChecked(path);
        } else if (m_mainSubMix) {
            CaptureMainSubMix();
        } else {
            CaptureToFile(main);
        }
    } else {
        CaptureToFile(main);
    }
}

// One capture of `camera` into a new file and its checked entry in the strip; returns the
// number of images the engine wrote. A PDF shows in the strip through a JPEG taken beside it.
int MainForm::CaptureToFile(int camera) {
    QByteArray path = MakeSavePath();
    const int written = ZoCapture(camera, path.constData());
    if (reportUnsaved(written, path))
        return 0;

    if (isPdf(ui->comboBoxFmt->currentIndex())) {
        const QByteArray thumb = platform::tempDir().toLocal8Bit() + "ZoImage.jpg";
        ZoCapture(camera, thumb.constData());
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        m_thumbnails.addImageItemEx(path, thumb, name);
        m_thumbnails.setItemChecked(m_thumbnails.imgCount().value_or(0) - 1, 1);
        return written;
    }

    m_thumbnails.addChecked(path);
    if (ui->checkBoxSplitCap->isChecked()) {
        const QByteArray split = naming::splitPath(path);
        if (!split.isEmpty()) {
            path = split;
            addIfWritten(path);
        }
    }
    if (written > 1)
        for (const QByteArray& further : naming::numberedPaths(path, m_fileExt, written))
            addIfWritten(further);
    return written;
}

// The engine counts the split page among the images it wrote, and a page may fail to split:
// only files that are there get an entry, so the strip never shows a picture that is not.
void MainForm::addIfWritten(const QByteArray& path) {
    if (QFile::exists(QString::fromLocal8Bit(path)))
        m_thumbnails.addChecked(path);
}

// True, after telling the user where the picture should have gone, when nothing was written.
bool MainForm::reportUnsaved(int written, const QByteArray& path) {
    if (written > 0)
        return false;
    const QString where = QString::fromLocal8Bit(path);
    if (m_language == 0)
        platform::showMessage(QStringLiteral("提示"),
                              QStringLiteral("图像无法保存到 %1").arg(where));
    else
        platform::showMessage(QStringLiteral("Information"),
                              QStringLiteral("The picture could not be saved to %1").arg(where));
    return true;
}

void MainForm::CaptureToPath(const QString& path) {
    ZoCapture(m_settings.devIndex, path.toLocal8Bit().constData());
}

void MainForm::SetResize(bool enable, float ratio) {
    m_settings.resizeImage = enable;
    m_settings.resizeImageRatio = ratio;
    ZoSetResize(m_settings.devIndex, enable, ratio);
}

void MainForm::onTkphto2() {
    CaptureToFile(m_subCamera);
}

// Both sides of a card onto one page: the engine's capture mode 1 lasts for this capture only.
void MainForm::onDoubleCapture() {
    const int main = m_settings.devIndex;
    ZoSetCaptureMode(main, 1);
    CaptureToFile(main);
    ZoSetCaptureMode(main, 0);
}

void MainForm::onRecogIDCard() {
    const QByteArray path = MakeSavePath();
    if (!reportUnsaved(ZoCapture(m_settings.devIndex, path.constData()), path))
        m_thumbnails.addChecked(path);
}

void MainForm::onSplitCap() {
    ZoEnableSplitCap(m_settings.devIndex, ui->checkBoxSplitCap->isChecked());
}

void MainForm::onMainSubComp() {
    m_mainSubMix = ui->checkBoxMainSub->isChecked();
}

// The list passes through other entries while it is refilled; the stored format stays.
void MainForm::InitFmt() {
    const QSignalBlocker blocker(ui->comboBoxFmt);
    ui->comboBoxFmt->clear();
    QStringList items;
    for (const Format& format : kFormats)
        items.append(QString::fromUtf8(m_language == 0 ? format.chinese : format.english));
    ui->comboBoxFmt->addItems(items);
    ui->comboBoxFmt->setCurrentIndex(m_formatIndex);
}

void MainForm::onFmtChange() {
    const int index = ui->comboBoxFmt->currentIndex();
    if (index < 0 || index >= kFormatCount)
        return;
    m_formatIndex = qint16(index);
    m_fileExt = kFormats[index].extension;
    if (kFormats[index].pdfMode >= 0)
        ZoSetPDFMode(m_settings.devIndex, kFormats[index].pdfMode);
}
