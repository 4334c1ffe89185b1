#pragma once

#include "process/detect/EdgeLines.h"

#include <array>
#include <vector>

namespace camcore {

// Four edge lines that enclose a document. A sheet brighter than the desk has all four
// gradients pointing inwards, a darker one all four outwards; a card with a dark stripe along
// one edge has a side of the other kind, which is allowed at a cost.
struct QuadCandidate {
    std::array<int, 4> sides{};           // line indices, in turn around the enclosure
    std::array<bool, 4> brighterInside{}; // per side: the inside is the brighter side
    std::array<cv::Point2d, 4> corners{}; // corners[i] joins sides[i] and sides[(i + 1) % 4]
    // Support (EdgeLine::support) along the sides minus their length without any edge, in
    // pixels at full contrast.
    double score = 0;
    double supportFraction = 0; // share of the perimeter with an edge
};

struct QuadSearchParams {
    double minAreaFraction = 0.012; // of the picture; an ID card under an A3 camera is 3.7%
    double minSideFraction = 0.06;  // of the picture's shorter side
    double cornerMargin = 0.03;     // corners may lie this far outside (of the longer side)
    double maxSkew = 35;            // degrees two neighbouring sides may be off square
    double maxOppositeSkew = 30;    // degrees two opposite sides may be off parallel
    double minSideSupport = 0.3;    // a side less supported than this is not an edge
    double minSupport = 0.55;       // of the whole perimeter
    // Sides whose polarity differs from the others count this much of their length against
    // the enclosure, so a sheet's drop shadow or a stripe inside it does not replace an edge.
    double mixedCost = 0.5;
    // When above 0, a side with an unsupported stretch away from its ends longer than this share
    // of the side is refused: two cards side by side then do not make one document. Off for
    // pages, whose top and bottom edges dip into a book's spine.
    double maxInnerGap = 0;
    // Enclosures scoring less than this share of the best are not kept: the detector takes a
    // second document only at 30% of the first's score.
    double keepAbove = 0.3;
};

// The enclosures the lines make, best first.
std::vector<QuadCandidate> searchQuads(const std::vector<EdgeLine>& lines, cv::Size size,
                                       const QuadSearchParams& params);

} // namespace camcore
