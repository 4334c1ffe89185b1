#include "FramePrinter.h"

#include "CameraRoles.h"
#include "WorkFolder.h"
#include "ZoApi.h"

#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// The engine calls back during ZoPrint on the GUI thread; one printer exists at a time.
FramePrinter* g_printer = nullptr;

} // namespace

FramePrinter::FramePrinter(const CameraRoles& roles, const WorkFolder& folder)
    : m_roles(roles), m_folder(folder) {
    g_printer = this;
    ZoSetPrintCB(&FramePrinter::printReceived);
}

// The print function stays registered: without a printer object it answers "not printed".
FramePrinter::~FramePrinter() {
    g_printer = nullptr;
}

void FramePrinter::print() {
    ZoPrint(m_roles.main());
}

int FramePrinter::printReceived(const unsigned char* rgb, int width, int height, int bytesPerLine,
                                int dpi) {
    if (g_printer == nullptr || rgb == nullptr || width <= 0 || height <= 0)
        return 0;
    // A view of the engine's pixels, valid during this call only.
    const QImage picture(rgb, width, height, bytesPerLine, QImage::Format_RGB888);
    return g_printer->askAndPrint(picture, dpi);
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
