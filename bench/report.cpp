#include "report.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "small_tools.h"

namespace bench {

std::string fixed(std::optional<double> value, const char* pattern) {
    return value ? format(pattern, *value) : "n/a";
}

std::string whole(std::optional<double> value) {
    return value ? grouped(std::llround(*value)) : "n/a";
}

std::string ratioOf(std::optional<double> a, std::optional<double> b) {
    return a && b && *b > 0 ? format("%.2f", *a / *b) : "n/a";
}

std::string withSpread(const std::vector<double>& runs, const char* pattern) {
    const auto middle = median(runs);
    const auto spread = interquartile(runs);
    if (!middle || !spread) return "n/a";
    return format(pattern, *middle) + " (" + format(pattern, spread->low) + "\u2013" +
           format(pattern, spread->high) + ")";
}

std::string verdict(bool known, bool met) {
    return !known ? "n/a" : met ? "met" : "MISSED";
}

Row informationRow(std::string figure, std::string tillerdock, std::string baseline,
                   std::string ratio) {
    return {std::move(figure),
            std::move(tillerdock),
            std::move(baseline),
            std::move(ratio),
            "information",
            "-",
            false};
}

Row pairedRow(std::string figure, const std::vector<double>& tillerdock,
              const std::vector<double>& baseline, const char* target, double limit) {
    Row row = informationRow(std::move(figure), withSpread(tillerdock), withSpread(baseline),
                             withSpread(pairRatios(tillerdock, baseline), "%.2f"));
    if (!target) return row;
    const auto ratio = pairedRatio(tillerdock, baseline);
    row.target = target;
    row.result = verdict(ratio.has_value(), ratio && *ratio <= limit);
    row.hasTarget = true;
    return row;
}

std::string verdictLine(const std::vector<Row>& rows) {
    int met = 0, missed = 0;
    for (const Row& r : rows) {
        if (!r.hasTarget) continue;
        if (r.result == "met")
            ++met;
        else
            ++missed;
    }
    return format("%d met, %d missed", met, missed);
}

namespace {

// The characters of UTF-8 text, as a terminal shows them.
std::size_t shown(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

std::string padded(const std::string& text, std::size_t width, bool right) {
    const std::string fill(width > shown(text) ? width - shown(text) : 0, ' ');
    return right ? fill + text : text + fill;
}

}  // namespace

void printTable(const std::vector<Row>& rows) {
    std::size_t w[6] = {6, 10, 8, 5, 6, 6};
    const auto cellsOf = [](const Row& r) {
        return std::vector<std::string>{r.figure, r.tillerdock, r.baseline,
                                        r.ratio,  r.target,     r.result};
    };
    for (const Row& r : rows) {
        const auto cells = cellsOf(r);
        for (int i = 0; i < 6; ++i) w[i] = std::max(w[i], shown(cells[i]));
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (int i = 0; i < 6; ++i) {
            const bool right = i >= 1 && i <= 3;
            text += (i ? "  " : "") + (i == 5 ? cells[i] : padded(cells[i], w[i], right));
        }
        std::printf("%s\n", text.c_str());
    };
    line({"Figure", "Tillerdock", "Baseline", "Ratio", "Target", "Result"});
    line({std::string(w[0], '-'), std::string(w[1], '-'), std::string(w[2], '-'),
          std::string(w[3], '-'), std::string(w[4], '-'), "------"});
    for (const Row& r : rows) line(cellsOf(r));
}

void printSeries(const char* name, const std::vector<double>& values) {
    std::printf("  %s:", name);
    for (double v : values) std::printf(" %.1f", v);
    std::printf("\n");
}

std::string markdown(const Report& report) {
    const Machine& machine = report.machine;
    std::string text;
    SYSTEMTIME now;
    GetSystemTime(&now);
    text += "## Latest results\n\n";
    text += format(
        "Measured %04u-%02u-%02u %02u:%02u UTC by `scripts/bench.sh`, %s build "
        "(timings: median of %d runs).\n\n",
        now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
        report.build.empty() ? "this" : report.build.c_str(), report.runs);
    text += "| Machine | |\n|---|---|\n";
    text += "| CPU | " + machine.cpu + " |\n";
    text += "| Cores | " + machine.cores + " |\n";
    text += "| RAM | " + machine.memory + " |\n";
    text += "| OS | " + machine.os + " |\n";
    text += "| Wine | " + machine.wine + " |\n";
    text += "| Load average (1, 5, 15 min) | before " + machine.load + "; after " +
            report.loadAfter + " |\n\n";
    text += "| Figure | Tillerdock | Baseline | Ratio | Target | Result |\n";
    text += "|---|---:|---:|---:|---|---|\n";
    for (const Row& r : report.rows)
        text += "| " + r.figure + " | " + r.tillerdock + " | " + r.baseline + " | " + r.ratio +
                " | " + r.target + " | " + r.result + " |\n";
    text += "\nTargets: " + verdictLine(report.rows) + ".\n";
    for (const std::string& note : report.notes) text += "\n" + note + "\n";
    return text;
}

}  // namespace bench
