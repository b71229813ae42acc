// Small tools of the benchmark: the clock, medians, number text and a few file and text
// helpers on top of the shared driving tools.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "drive/files.h"
#include "drive/process.h"

namespace bench {

using drive::narrow;
using drive::readFile;
using drive::UniqueHandle;

// Milliseconds on the performance counter, for timings.
double nowMs();

std::optional<double> median(std::vector<double> values);

// The spread of a series: its first and third quartiles, between which the middle half of
// the runs lies.
struct Spread {
    double low = 0, high = 0;
};
std::optional<Spread> interquartile(std::vector<double> values);

// The ratios of two series measured in pairs (run i of one next to run i of the other).
std::vector<double> pairRatios(const std::vector<double>& a, const std::vector<double>& b);
// The median of the pairs' ratios, which cancels a load on the machine that changes from one
// pair to the next. (The ratio of the two medians moves with such a load.)
std::optional<double> pairedRatio(const std::vector<double>& a, const std::vector<double>& b);

// Polls every millisecond until the condition holds; false when the time ran out first.
bool waitUntil(const std::function<bool()>& condition, double timeoutMs);

// printf-style text (at most 511 characters).
std::string format(const char* pattern, ...);

// 1234567 -> "1,234,567".
std::string grouped(long long value);

std::optional<long long> fileSize(const std::wstring& path);

// The value after "name:" on its own line of a text such as /proc/cpuinfo.
std::string fieldOf(const std::string& text, const std::string& name);

}  // namespace bench
