#pragma once

#include <QImage>
#include <QPolygonF>
#include <QSize>

#include <string>

namespace camcore {

// Where the page lies in a frame of the document scene: the truth for page detection and deskew.
struct DocumentLayout {
    QPolygonF corners;  // the page's top-left, top-right, bottom-right, bottom-left, in pixels
    double angle = 0.0; // clockwise rotation of the page in degrees
};

DocumentLayout documentLayout(QSize frameSize, int page);

// What the codes on page `page` carry.
std::string documentQrText(int page);      // "DOCSCAN-PAGE-<page>"
std::string documentBarcodeText(int page); // Code 128, "PAGE<page>-12345"

// Page `page` of a landscape A4 document lying askew on a desk under an uneven lamp, with
// English and Chinese text, a QR code, a Code 128 barcode and the page number, plus a fixed
// pattern of sensor noise: the same arguments always give the same picture. Format_RGB32.
// Safe on any thread; text needs a QGuiApplication and is left out without one.
QImage renderDocumentScene(QSize frameSize, int page);

} // namespace camcore
