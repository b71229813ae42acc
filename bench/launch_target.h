// What the benchmark and its launch target share.
#pragma once

namespace bench {

// An auto-reset event the benchmark creates; launch_target.exe sets it when it starts.
inline constexpr wchar_t kStartedEvent[] = L"Local\\TillerdockBench.TargetStarted";

}  // namespace bench
