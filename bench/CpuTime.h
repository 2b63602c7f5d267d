// SPDX-License-Identifier: MIT
#pragma once

// CPU time of the whole process (user and system), for the playback benchmarks that run in real time.

#include <sys/resource.h>

inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto sec = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return sec(usage.ru_utime) + sec(usage.ru_stime);
}
