#pragma once

// What every benchmark program's main does around its own set-up.

#include <QByteArray>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include <functional>

namespace bench {

// Generated pages need fonts but no screen: the offscreen platform unless one is chosen.
inline void preferOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Reads the benchmark options, runs `prepare` (inputs made before anything is timed, or
// benchmarks registered at run time) and then the benchmarks the command line names.
inline int runBenchmarks(int& argc, char** argv, const std::function<void()>& prepare = {}) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (prepare)
        prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
