#include "Extractor.h"

#include "Foreground.h"
#include "MinutiaeFinder.h"
#include "RidgeEnhance.h"
#include "RidgeFlow.h"
#include "Thinning.h"

namespace fingerprint {

Minutiae extractMinutiae(const GreyImage& image) {
    const Foreground foreground = findForeground(image);
    const RidgeFlow flow = estimateRidgeFlow(foreground);
    const Mask skeleton = thin(enhanceRidges(foreground, flow));
    return findMinutiae(skeleton, foreground.mask, flow);
}

} // namespace fingerprint
