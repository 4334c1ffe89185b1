#pragma once

#include "output/OutputImage.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

namespace output_test {

// A page-like picture: white with dark text lines, a colour patch and fine noise, so that
// compressed data is neither trivial nor uniform. Format_RGB888.
QImage colourPage(int width, int height);
QImage greyPage(int width, int height);    // colourPage as Format_Grayscale8
QImage bilevelPage(int width, int height); // greyPage thresholded to 0 and 255
// Uniform noise in every channel: compresses badly, for filling small disks.
QImage noise(int width, int height, quint32 seed);

camcore::OutputImage outputOf(const QImage& picture, int dpi = 300, bool bilevel = false);

QByteArray readAll(const QString& path);
// Every entry of `folder`, hidden ones included.
QStringList entries(const QString& folder);

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};
// Runs a poppler command; exitCode -1 when it could not start.
ToolRun runTool(const QString& program, const QStringList& arguments);

struct PdfPages {
    int count = 0;
    QStringList sizes; // "587.52 x 783.36" for each page
    QString errors;    // anything poppler complained about
};
PdfPages pdfPages(const QString& path);

} // namespace output_test
