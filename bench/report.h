// The report: the table of figures, printed and as Markdown, with the notes that go with it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "machine.h"

namespace bench {

// One line of the table. A figure with a target has "met" or "MISSED" as its result, or "n/a"
// when it could not be measured, which counts as missed. A figure shown for information has
// no target and no result.
struct Row {
    std::string figure, tillerdock, baseline, ratio, target, result;
    bool hasTarget = true;
};

Row informationRow(std::string figure, std::string tillerdock, std::string baseline,
                   std::string ratio);

// A figure of both programs measured in pairs: the medians and the pairs' ratio, with their
// spreads; with a target, met when the median of the pairs' ratios is at most the limit.
Row pairedRow(std::string figure, const std::vector<double>& tillerdock,
              const std::vector<double>& baseline, const char* target, double limit);

// The verdict over every target in the table: "N met, M missed".
std::string verdictLine(const std::vector<Row>& rows);

// A value with one decimal (or this pattern), "n/a" when it was not measured.
std::string fixed(std::optional<double> value, const char* pattern = "%.1f");
// A count or a size in KB, in groups of three digits.
std::string whole(std::optional<double> value);
std::string ratioOf(std::optional<double> a, std::optional<double> b);
// A timing's median with the spread of its runs: "87.4 (80.1–95.3)", the interquartile range
// in parentheses; "n/a" without runs.
std::string withSpread(const std::vector<double>& runs, const char* pattern = "%.1f");
std::string verdict(bool known, bool met);

void printTable(const std::vector<Row>& rows);
// Every value of a series, for --raw.
void printSeries(const char* name, const std::vector<double>& values);

// What a run found, for docs/benchmarks.md: the machine, the table and the notes.
struct Report {
    Machine machine;
    std::string loadAfter;
    std::string build;  // the build type measured, empty when not told
    int runs = 0;
    std::vector<Row> rows;
    std::vector<std::string> notes;
};

// The Markdown for docs/benchmarks.md: the machine, the table, the verdict and the notes.
std::string markdown(const Report& report);

}  // namespace bench
