#pragma once
// Shared by the benchmark programs that draw windows: running the benchmarks inside an
// application.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <functional>

#include "bench_support.h"

namespace kvrbench {

// Runs the benchmarks the command line selects inside an application, offscreen unless a
// display is named. release frees what the benchmarks kept between runs while the
// application still exists (windows must go before it).
inline int RunWithApplication(int argc, char** argv, const std::function<void()>& release = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (release) release();
    return 0;
}

}  // namespace kvrbench
