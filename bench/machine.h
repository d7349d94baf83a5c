#pragma once

// What the machine a benchmark ran on is and how busy it was, and the
// processor time of this process split into user and system time, so that a
// reader can tell one machine's figures from another's.
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace bench
{

inline std::string firstLineWith(const char* path, const std::string& key)
{
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(key)) {
            const std::size_t colon = line.find(':');
            return colon == std::string::npos ? line : line.substr(colon + 2);
        }
    }
    return "unknown";
}

inline std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + ' ' + five + ' ' + fifteen;
}

inline std::string machineLine()
{
    std::ifstream release("/proc/sys/kernel/osrelease");
    std::string kernel = "unknown";
    release >> kernel;
    return std::to_string(std::thread::hardware_concurrency()) + " cores (" +
           firstLineWith("/proc/cpuinfo", "model name") + "), Linux " + kernel + ", load average " +
           loadAverage();
}

struct CpuTime {
    double user = 0;
    double system = 0;
};

inline CpuTime processCpuTime()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

} // namespace bench
