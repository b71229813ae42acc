// Tillerdock's benchmark: start-up, memory, idle cost, launch latency, the time to the launch
// menu and size of tillerdock.exe, side by side with two baselines built like it:
// baseline_tray.exe, a tray program that holds one icon and opens the same menu without icons
// (the cost floor of any tray program here), and
// baseline_window.exe, Tillerdock's main window with its controls, menus and tray icon in
// plain Win32 (the cost floor of showing that window). Runs under Wine and on Windows.
//
//   bench.exe [--runs N] [--only WHAT] [--build NAME] [--markdown FILE] [--verdict FILE]
//             [--probe] [--raw]
//
// WHAT is a comma-separated choice of size, startup, idle, operations (the repeated operations
// and the launch latency) and menu (the time to the menu, and its order with the icons); all
// of them unless told. NAME names the build measured
// (its CMake build type) in the report. The last line printed is the verdict over every
// target in the table, "N met, M missed"; --verdict also writes it alone to a file.
//
// It drives the programs from outside, as the end-to-end tests do: window messages to the
// main window, the settings in the registry, and launch_target.exe, which sets an event when
// it starts. Every timing is the median of N runs (40 unless told); Tillerdock's runs and the
// baseline's alternate, so that a change in the machine's load falls on both.
#include "bench.h"

#include <cstdio>

#include "drive/settings.h"
#include "launch_target.h"
#include "machine.h"
#include "shared/window_ids.h"

namespace bench {

int Bench::run() {
    const Machine machine = describeMachine();
    std::printf("Tillerdock benchmark: %d runs per timing\n", options_.runs);
    std::printf("Machine: %s, %s, %s RAM; %s; Wine %s; load %s\n", machine.cpu.c_str(),
                machine.cores.c_str(), machine.memory.c_str(), machine.os.c_str(),
                machine.wine.c_str(), machine.load.c_str());
    if (options_.probe) {
        probe();
        return 0;
    }
    if (options_.wants(L"size")) sizeRows();
    if (options_.wants(L"startup")) {
        std::printf("Measuring start-up and memory (%d runs x 2 stores x 2 programs)...\n",
                    options_.runs);
        startupRows();
    }
    if (options_.wants(L"idle")) {
        std::printf("Measuring idle cost (4 x 10 s)...\n");
        idleRows();
    }
    if (options_.wants(L"operations")) {
        std::printf("Measuring repeated operations and launch latency...\n");
        operationsAndLatency();
    }
    if (options_.wants(L"menu")) {
        std::printf("Measuring the time to the menu (%d runs x 2 presses x 4 openings)...\n",
                    options_.runs);
        menuRows();
    }
    const std::string loadAfter = loadAverage();
    drive::clearSettings();
    std::printf("\n");
    printTable(rows_);
    for (const std::string& note : notes_) std::printf("\n%s\n", note.c_str());
    if (!options_.markdown.empty()) {
        const Report report{machine,       loadAfter, narrow(options_.build),
                            options_.runs, rows_,     notes_};
        if (!drive::writeFile(options_.markdown, markdown(report)))
            std::printf("\nCould not write %s\n", narrow(options_.markdown).c_str());
    }
    const std::string verdict = verdictLine(rows_);
    if (!options_.verdict.empty() && !drive::writeFile(options_.verdict, verdict + "\n"))
        std::printf("\nCould not write %s\n", narrow(options_.verdict).c_str());
    std::printf("\n%s\n", verdict.c_str());
    return 0;
}

}  // namespace bench

int wmain(int argc, wchar_t** argv) {
    using namespace bench;
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc)
            options.runs = std::max(1, _wtoi(argv[++i]));
        else if (arg == L"--build" && i + 1 < argc)
            options.build = argv[++i];
        else if (arg == L"--only" && i + 1 < argc)
            options.only = argv[++i];
        else if (arg == L"--markdown" && i + 1 < argc)
            options.markdown = argv[++i];
        else if (arg == L"--verdict" && i + 1 < argc)
            options.verdict = argv[++i];
        else if (arg == L"--probe")
            options.probe = true;
        else if (arg == L"--raw")
            options.raw = true;
        else {
            std::printf(
                "usage: bench.exe [--runs N] [--only WHAT] [--build NAME] [--markdown FILE] "
                "[--verdict FILE] [--probe] [--raw]\n");
            return 2;
        }
    }
    const UniqueHandle started(CreateEventW(nullptr, FALSE, FALSE, kStartedEvent));
    if (!started) {
        std::printf("Could not create the start event: %lu\n", GetLastError());
        return 1;
    }
    const std::wstring folder = drive::programFolder();
    Subjects subjects{
        {"Tillerdock", folder + L"tillerdock.exe", td::ids::kConfigClass, td::ids::kTrayIconId,
         true},
        {"Tray baseline", folder + L"baseline_tray.exe", L"Tillerdock.BenchBaseline", 1},
        {"Window baseline", folder + L"baseline_window.exe", L"Tillerdock.BenchWindow",
         td::ids::kTrayIconId},
    };
    Bench bench(options, std::move(subjects), folder + L"launch_target.exe", started.get());
    return bench.run();
}
