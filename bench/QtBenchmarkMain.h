// SPDX-License-Identifier: MIT
#pragma once

// The main function of the window benchmarks: an offscreen QApplication around Google Benchmark.

#include <QApplication>
#include <benchmark/benchmark.h>

#define TONVALE_QT_BENCHMARK_MAIN()                                                                          \
    int main(int argc, char** argv) {                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QApplication app(argc, argv);                                                                        \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
