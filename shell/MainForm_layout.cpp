#include "MainForm.h"

#include "ui_MainForm.h"

#include <QResizeEvent>

void MainForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutWindow();
    KeepSmallWidgetOverVideo();
}

// A bottom band of 120 pixels holds the command rows; the strip, the preview and the control
// panel share the rest from y 40.
void MainForm::layoutWindow() {
    const int w = width();
    const int h = height();
    if (m_thumbnailHost != nullptr) {
        m_thumbnailHost->setGeometry(2, 40, 166, h - 120);
        if (m_thumbnails.isLoaded())
            m_thumbnails.resizeThumb();
    }
    if (m_previewWidget != nullptr)
        m_previewWidget->setGeometry(176, 40, w - 390, h - 120);
    if (ui == nullptr)
        return;
    ui->tabWidget->setGeometry(w - 210, 40, 210, h - 120);
    layoutBottomRow();

    const int x0 = (w - 390) / 2;
    const int y = h - 76;
    ui->pushButtonDrag->setGeometry(x0, y, 28, 28);
    ui->pushButtonCut->setGeometry(x0 + 42, y, 28, 28);
    ui->pushButtonRotateLeft->setGeometry(x0 + 84, y, 28, 28);
    ui->pushButtonRotateRight->setGeometry(x0 + 126, y, 28, 28);
    ui->pushButtonZoomOut->setGeometry(x0 + 168, y, 28, 28);
    ui->horizontalSliderScale->setGeometry(x0 + 210, y, 84, 19);
    ui->pushButtonZoomIn->setGeometry(x0 + 300, y, 28, 28);
    ui->pushButtonFullSrn->setGeometry(x0 + 342, y, 28, 28);

    ui->labelMarkMode->setGeometry(w - 178, h - 30, 60, 19);
    ui->labelSnapMode->setGeometry(w - 95, h - 30, 60, 19);
}

// English texts are longer, so the English row has wider buttons and narrower gaps; both rows
// are centred on the window.
void MainForm::layoutBottomRow() {
    if (ui == nullptr)
        return;
    const int w = width();
    const int h = height();
    ui->widget_title->setGeometry(0, 0, w, 20);
    ui->pushButtonOpenFolder->setGeometry(10, h - 60, 85, 31);
    ui->pushButtonVisualizer->setGeometry(w - 60, h - 60, 85, 31);

    const int y = h - 40;
    if (m_language == 0) {
        ui->pushButtonReadIDCard->hide();
        const int d = ((w - 1) - 649) / 2 + 85;
        ui->pushButtonScan->setGeometry(w - d, y, 85, 31);
        ui->pushButtonAutoScan->setGeometry(w - d - 102, y, 85, 31);
        ui->pushButtonCompose->setGeometry(w - d - 204, y, 85, 31);
        ui->pushButtonPrint->setGeometry(w - d - 306, y, 85, 31);
        ui->pushButtonOCR->setGeometry(w - d - 408, y, 85, 31);
    } else if (m_language == 1) {
        ui->pushButtonReadIDCard->hide();
        const int e = ((w - 1) - 686) / 2;
        ui->pushButtonScan->setGeometry(w - 1 - e - 114, y, 115, 31);
        ui->pushButtonAutoScan->setGeometry(w - 1 - e - 257, y, 115, 31);
        ui->pushButtonCompose->setGeometry(w - 1 - e - 400, y, 115, 31);
        ui->pushButtonPrint->setGeometry(w - 1 - e - 543, y, 115, 31);
        ui->pushButtonOCR->setGeometry(w - 1 - e - 686, y, 115, 31);
    }
}
