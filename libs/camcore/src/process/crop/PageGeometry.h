#pragma once

#include "process/Quad.h"

#include <opencv2/core.hpp>

namespace camcore {

// Where a page of the output comes from: the projective map from picture pixels to page pixels
// and the page's size. Stages pass geometries along and the picture is resampled once, at the
// end, whatever was cut, straightened and turned on the way.
struct PageGeometry {
    cv::Matx33d toPage = cv::Matx33d::eye();
    cv::Size size;

    // The same page `factor` times as large (for a cheap low-resolution look at it).
    PageGeometry scaled(double factor) const;
    // The page turned clockwise by `degrees` about its centre, keeping its size.
    PageGeometry rotated(double degrees) const;
    // Picture coordinates of a point of the page.
    cv::Point2d toPicture(cv::Point2d pagePoint) const;
};

// The whole picture as it is.
PageGeometry wholePicture(cv::Size size);

// The rectangle `area` of the picture as it is.
PageGeometry pictureArea(cv::Rect area);

// The page that `quad` outlines, straightened: its corners go to the corners of a page as wide
// as the longer of the top and bottom sides and as high as the longer of the left and right
// sides, so the nearer edge of a tilted sheet keeps its resolution.
PageGeometry straightened(const Quad& quad);

} // namespace camcore
