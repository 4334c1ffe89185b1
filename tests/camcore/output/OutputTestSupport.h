#pragma once

#include "EngineTestSupport.h"
#include "output/OutputImage.h"

#include <QImage>
#include <QString>

namespace output_test {

// A page-like picture: white with dark text lines, a colour patch and fine noise, so that
// compressed data is neither trivial nor uniform. Format_RGB888.
QImage colourPage(int width, int height);
QImage greyPage(int width, int height);    // colourPage as Format_Grayscale8
QImage bilevelPage(int width, int height); // greyPage thresholded to 0 and 255
// Uniform noise in every channel: compresses badly, for filling small disks.
QImage noise(int width, int height, quint32 seed);

camcore::OutputImage outputOf(const QImage& picture, int dpi = 300, bool bilevel = false);

// The engine suites' shared helpers, by their short names here.
using camcore_test::entries;
using camcore_test::pdfPages;
using camcore_test::PdfPages;
using camcore_test::readAll;
using camcore_test::runTool;
using camcore_test::ToolRun;

} // namespace output_test
