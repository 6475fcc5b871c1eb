// A measured run under Wine (not a test): how long a running nimbrel.exe's window takes to
// answer, sampled for a while with WM_NULL round trips from another process, so that a stall
// of its message loop (during a filter-list update, say) shows as a long round trip.
//
//   answer_run.exe SECONDS
// prints: samples, median, p99 and longest round trip in ms, and the longest of each 10 s.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    using Clock = std::chrono::steady_clock;
    const double seconds = argc > 1 ? std::wcstod(argv[1], nullptr) : 30;
    HWND window = nullptr;
    const auto start = Clock::now();
    while (!(window = FindWindowW(L"TTarnwickForm1", nullptr)) && Clock::now() - start < std::chrono::seconds(60))
        Sleep(20);
    if (!window) {
        std::printf("no window\n");
        return 1;
    }
    std::vector<double> times, slices;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        const auto begin = Clock::now();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) break;
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        times.push_back(ms);
        const auto slice = static_cast<std::size_t>(std::chrono::duration<double>(begin - start).count() / 10);
        if (slices.size() <= slice) slices.resize(slice + 1);
        slices[slice] = std::max(slices[slice], ms);
        Sleep(2);
    }
    if (times.empty()) return 1;
    std::sort(times.begin(), times.end());
    std::printf("%zu samples: median %.2f ms, p99 %.2f ms; longest of each 10 s:", times.size(),
                times[times.size() / 2], times[times.size() * 99 / 100]);
    for (double longest : slices) std::printf(" %.0f", longest);
    std::printf(" ms\n");
    return 0;
}
