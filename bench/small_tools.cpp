#include "small_tools.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>

namespace bench {

double nowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / frequency;
}

std::optional<double> median(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::optional<Spread> interquartile(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    std::sort(values.begin(), values.end());
    // Between the two values around each quartile's place, as a spreadsheet's QUARTILE does.
    const auto at = [&](double share) {
        const double place = share * static_cast<double>(values.size() - 1);
        const std::size_t below = static_cast<std::size_t>(place);
        const std::size_t above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (place - below);
    };
    return Spread{at(0.25), at(0.75)};
}

std::vector<double> pairRatios(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (b[i] > 0) ratios.push_back(a[i] / b[i]);
    return ratios;
}

std::optional<double> pairedRatio(const std::vector<double>& a, const std::vector<double>& b) {
    return median(pairRatios(a, b));
}

bool waitUntil(const std::function<bool()>& condition, double timeoutMs) {
    return drive::waitUntil(condition,
                            std::chrono::milliseconds(static_cast<long long>(timeoutMs)));
}

std::string format(const char* pattern, ...) {
    char buffer[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof(buffer), pattern, args);
    va_end(args);
    return buffer;
}

std::string grouped(long long value) {
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::optional<long long> fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string fieldOf(const std::string& text, const std::string& name) {
    std::size_t at = 0;
    while ((at = text.find(name, at)) != std::string::npos) {
        if (at == 0 || text[at - 1] == '\n') {
            std::size_t start = text.find_first_not_of(" \t:=\"", at + name.size());
            std::size_t end = text.find_first_of("\"\n", start);
            if (start != std::string::npos) return text.substr(start, end - start);
        }
        at += name.size();
    }
    return {};
}

}  // namespace bench
