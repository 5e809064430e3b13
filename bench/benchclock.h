#pragma once
// Timing helpers shared by the benchmark programs: the calling thread's and the process's CPU
// time (steady on a busy machine, where wall time mostly measures the wait for a processor) and
// a median.

#include <algorithm>
#include <ctime>
#include <vector>

inline double threadCpuMillis()
{
    timespec ts;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The whole process's, for work shared among threads.
inline double processCpuMillis()
{
    timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
