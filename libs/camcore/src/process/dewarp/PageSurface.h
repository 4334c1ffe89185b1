#pragma once

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

namespace camcore {

// The shape of a page bent like a sheet over a cylinder whose axis runs down the page (an open
// book, curving into its spine), as the camera sees it from above: in every column x the flat
// page's rows appear moved and scaled, y = shift(x) + stretch(x) * Y. Both vary smoothly across
// the page. Seen from straight above this is exact for any such sheet: the nearer a column is to
// the lens, the larger and the further from the middle its rows appear.
struct PageSurface {
    double bend = 0; // how far the top and bottom text lines curve off straight, page pixels
    // Columns where shift and stretch are known, and their values there; in between they are
    // interpolated. Pixels of the page the surface was measured on.
    std::vector<double> knots;
    std::vector<double> shift;
    std::vector<double> stretch;
    // The columns the text lines span. Beyond them nothing shows the shape, and a curve carried
    // on would bend whatever lies there (a picture, a box beside the text): the shape at the
    // last line's end holds.
    double from = 0;
    double to = 0;

    // Where the flat page's row `y` lies in column `x` of the curved page.
    double sourceY(double x, double y) const;
    // The same surface for the page enlarged `factor` times (factor pixels per pixel, a reduced
    // pixel's centre at factor * x + (factor - 1) / 2).
    PageSurface enlarged(double factor) const;
};

// Fits the surface to text lines traced on a page `width` pixels wide: each line is one flat
// row. The result keeps the column where the lines are tallest as it is (shift 0, stretch 1),
// so nothing is shrunk. Empty when the fit is not a plausible sheet.
std::optional<PageSurface> fitSurface(const std::vector<std::vector<cv::Point2f>>& traces,
                                      int width);

} // namespace camcore
