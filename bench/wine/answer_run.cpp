// A measured run under Wine (not a test): how long a running nimbrel.exe's window takes to
// answer, sampled for a while with WM_NULL round trips from another process, so that a stall
// of its message loop (during a filter-list update, say) shows as a long round trip.
//
//   answer_run.exe SECONDS
// prints: samples, median, p99 and longest round trip in ms, and when the longest came.
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
    std::vector<double> times;
    double longest = 0, longestAt = 0;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        const auto begin = Clock::now();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) break;
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        times.push_back(ms);
        if (ms > longest) {
            longest = ms;
            longestAt = std::chrono::duration<double>(begin - start).count();
        }
        Sleep(2);
    }
    if (times.empty()) return 1;
    std::sort(times.begin(), times.end());
    std::printf("%zu samples: median %.2f ms, p99 %.2f ms, longest %.2f ms at %.1f s\n", times.size(),
                times[times.size() / 2], times[times.size() * 99 / 100], longest, longestAt);
    return 0;
}
