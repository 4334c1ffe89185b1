#include "FramePrinter.h"

#include "CameraRoles.h"
#include "Settings.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "platform/Language.h"
#include "platform/Message.h"

#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// The engine calls back on the GUI thread once the picture is made; one printer exists at a time.
FramePrinter* g_printer = nullptr;

using platform::text;

} // namespace

FramePrinter::FramePrinter(const Settings& settings, const CameraRoles& roles,
                           const WorkFolder& folder)
    : m_settings(settings), m_roles(roles), m_folder(folder) {
    g_printer = this;
    ZoSetPrintCB(&FramePrinter::printReceived);
}

// The print function stays registered: without a printer object it answers "not printed".
FramePrinter::~FramePrinter() {
    g_printer = nullptr;
}

void FramePrinter::print() {
    if (m_making)
        return;
    m_making = ZoPrintQueued(m_roles.main()) == 1;
    if (!m_making)
        sayNoPicture();
}

int FramePrinter::printReceived(const unsigned char* rgb, int width, int height, int bytesPerLine,
                                int dpi) {
    if (g_printer == nullptr)
        return 0;
    g_printer->m_making = false;
    if (rgb == nullptr || width <= 0 || height <= 0) {
        g_printer->sayNoPicture();
        return 0;
    }
    // A view of the engine's pixels, valid during this call only.
    const QImage picture(rgb, width, height, bytesPerLine, QImage::Format_RGB888);
    return g_printer->askAndPrint(picture, dpi);
}

void FramePrinter::sayNoPicture() const {
    const int language = m_settings.language;
    platform::showMessage(text(language, "提示", "Information"),
                          text(language, "没有可打印的图像: 摄像头未开启或已断开。",
                               "There is no picture to print: the camera is not open or was "
                               "disconnected."));
}

int FramePrinter::askAndPrint(const QImage& picture, int dpi) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        const QString name = QDateTime::currentDateTime().toString("yyyyMMddhhmmss") + ".pdf";
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(m_folder.path()) + "/" + name);
    }
    QPrintDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    return printPicture(picture, dpi, printer) ? 1 : 0;
}

bool FramePrinter::printPicture(const QImage& picture, int dpi, QPrinter& printer) {
    if (picture.isNull() || dpi <= 0)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = double(printer.resolution()) / dpi;
    QSizeF size = QSizeF(picture.size()) * scale;
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area.size(), Qt::KeepAspectRatio);
    const QRectF target(
        QPointF((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    return painter.end();
}
