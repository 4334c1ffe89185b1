// Cost of flattening one 8 MP page (2448 x 3264, portrait) on one core: a page of text bent
// into a book's spine as the flattening corpus bends it (tests/camcore/process/Curved.h), and
// the same page flat, which the stage measures and leaves alone.

#include "Curved.h"
#include "process/dewarp/Dewarp.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

using namespace camcore;

namespace {

const curved::TextPage& flatPage() {
    // Letters 32 pixels high: 12-point text on A4 at this size.
    static const curved::TextPage page = curved::textPage({2448, 3264}, 32, 1);
    return page;
}

const cv::Mat& bentPage() {
    static const cv::Mat page = [] {
        curved::Bend bend;
        bend.depth = 0.15;
        const curved::Maps maps = curved::bendMaps(flatPage().page.size(), bend);
        return curved::bent(flatPage().page, maps, cv::Scalar(70, 60, 50));
    }();
    return page;
}

// Finding the text lines and fitting the sheet, on the 1000-pixel look.
void BM_DewarpMeasure(benchmark::State& state) {
    cv::setNumThreads(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(DewarpTask().measure(bentPage()));
}
BENCHMARK(BM_DewarpMeasure)->Unit(benchmark::kMillisecond);

// Resampling the full page along the fitted sheet.
void BM_DewarpResample(benchmark::State& state) {
    cv::setNumThreads(1);
    const std::optional<PageSurface> surface = DewarpTask().measure(bentPage());
    if (!surface) {
        state.SkipWithError("the bent page was not measured as bent");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(DewarpTask::flatten(bentPage(), *surface));
}
BENCHMARK(BM_DewarpResample)->Unit(benchmark::kMillisecond);

// The whole stage: 0 on the bent page, 1 on the flat one (measured, then left as it is).
void BM_Dewarp(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat& page = state.range(0) == 0 ? bentPage() : flatPage().page;
    bool flattened = false;
    for (auto _ : state)
        flattened = DewarpTask().run(page).flattened;
    state.counters["flattened"] = flattened ? 1 : 0;
}
BENCHMARK(BM_Dewarp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
