// verdict-replay: the navigation verdicts on a file of addresses with a black and a white
// list and any filter lists, as the program would give them (ad links blocked, code page 936),
// with the time each verdict takes. With --check every verdict is compared with the
// line-by-line matcher and the filter lists' rules walked one by one. With --reasons each
// cancelled address is also named by what removed it (and --check compares those as well).
//
//   verdict-replay --black FILE --white FILE --urls FILE [--filter-list FILE]... [--level N] [--reasons] [--check]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/compiled_list.h"
#include "core/navigation_filter.h"
#include "support/list_data.h"

namespace nimbrel {
namespace {

struct Options {
    std::string black, white, urls, level = "1";
    std::vector<std::string> filterLists;
    bool check = false;
    bool reasons = false;
};

constexpr const char* kUsage =
    "usage: verdict-replay --black FILE --white FILE --urls FILE [--filter-list FILE]... [--level N] [--reasons] "
    "[--check]\n";

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--check") options.check = true;
        else if (arg == "--reasons") options.reasons = true;
        else if (arg == "--black" && hasValue) options.black = argv[++i];
        else if (arg == "--white" && hasValue) options.white = argv[++i];
        else if (arg == "--urls" && hasValue) options.urls = argv[++i];
        else if (arg == "--level" && hasValue) options.level = argv[++i];
        else if (arg == "--filter-list" && hasValue) options.filterLists.push_back(argv[++i]);
        else return false;
    }
    return !options.black.empty() && !options.white.empty() && !options.urls.empty();
}

template <typename T>
bool load(const std::optional<T>& loaded, const std::string& path) {
    if (!loaded) std::fprintf(stderr, "verdict-replay: cannot read %s\n", path.c_str());
    return loaded.has_value();
}

struct Judged {
    NavigationVerdict verdict;
    BlockReason reason;  // with --reasons, for a cancelled address
};

// Differences between the compiled verdicts (and reasons) and the line-by-line ones; the first few shown.
std::size_t countDifferences(const FilterSettings& settings, const ExceptionLists& lists,
                             const std::vector<NamedRules>& filterLists, const std::vector<std::string>& urls,
                             const std::vector<Judged>& judged, bool reasons) {
    std::size_t differences = 0;
    for (std::size_t i = 0; i < urls.size(); ++i) {
        BlockReason reason;
        const NavigationVerdict reference =
            judgeAddress(CodePage::gb2312(), settings, lists, urls[i], filterLists, reasons ? &reason : nullptr);
        if (reference == judged[i].verdict && reason == judged[i].reason) continue;
        if (++differences <= 10)
            std::printf("differs: %s (compiled %s \"%s\", line by line %s \"%s\")\n", urls[i].c_str(),
                        judged[i].verdict.cancel ? "blocked" : "passed", judged[i].reason.entry.c_str(),
                        reference.cancel ? "blocked" : "passed", reason.entry.c_str());
    }
    return differences;
}

int run(const Options& options) {
    const auto black = readListLines(options.black);
    const auto white = readListLines(options.white);
    const auto urls = readAddresses(options.urls);
    if (!load(black, options.black) || !load(white, options.white) || !load(urls, options.urls)) return 2;
    std::vector<NamedRules> filterLists;
    for (const std::string& path : options.filterLists) {
        const auto list = readFilterList(path);
        if (!load(list, path)) return 2;
        if (!list->rules.isList) {
            std::fprintf(stderr, "verdict-replay: %s is not a filter list\n", path.c_str());
            return 2;
        }
        filterLists.push_back(std::move(*list));
    }

    const std::wstring level(options.level.begin(), options.level.end());
    const FilterSettings settings{L"0", L"1", level, L"0"};
    const ExceptionLists lists{*white, *black};
    const auto start = std::chrono::steady_clock::now();
    const CompiledLists compiled(CodePage::gb2312(), lists);
    const double buildMillis = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const auto hostsStart = std::chrono::steady_clock::now();
    const FilterHosts hosts(filterLists);
    const double hostsMillis =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - hostsStart).count();

    std::vector<Judged> judged(urls->size());
    std::size_t next = 0;
    const TimeSpread spread = timeEach(*urls, [&](const std::string& url) {
        Judged& out = judged[next++];
        out.verdict = judgeAddress(settings, compiled, url, &hosts, options.reasons ? &out.reason : nullptr);
    });
    const auto blocked = std::count_if(judged.begin(), judged.end(), [](const auto& j) { return j.verdict.cancel; });

    std::printf("lists: %zu black, %zu white lines; compiled in %.1f ms, %.1f MB\n", black->size(), white->size(),
                buildMillis, static_cast<double>(compiled.memoryBytes()) / (1024.0 * 1024.0));
    if (!filterLists.empty())
        std::printf("filter lists: %zu, %zu distinct hosts; compiled in %.1f ms, %.1f MB\n", filterLists.size(),
                    hosts.size(), hostsMillis, static_cast<double>(hosts.memoryBytes()) / (1024.0 * 1024.0));
    std::printf("addresses: %zu, blocked: %td (level %s)\n", urls->size(), blocked, options.level.c_str());
    std::printf("per verdict%s: median %.3f us, p99 %.3f us\n", options.reasons ? " with its reason" : "",
                spread.medianMicros, spread.p99Micros);
    if (!options.check) return 0;
    const std::size_t differences = countDifferences(settings, lists, filterLists, *urls, judged, options.reasons);
    std::printf("check: %zu verdicts compared with the line-by-line matcher, %zu differences\n", urls->size(),
                differences);
    return differences == 0 ? 0 : 1;
}

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
    nimbrel::Options options;
    if (!nimbrel::parse(argc, argv, options)) {
        std::fputs(nimbrel::kUsage, stderr);
        return 2;
    }
    return nimbrel::run(options);
}
