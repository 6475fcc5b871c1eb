// Cost of the verdict on one navigation, with lists of growing length. The list lines are
// realistic patterns that never match, so every usable line is tried.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/navigation_filter.h"

namespace nimbrel {
namespace {

std::vector<std::string> makeList(std::size_t lines, std::string_view kind) {
    std::vector<std::string> list;
    list.reserve(lines);
    for (std::size_t i = 0; i < lines; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
            case 0: list.push_back(std::string(kind) + n + ".example.com"); break;
            case 1: list.push_back("*" + std::string(kind) + n + "*/promo/*gif"); break;
            case 2: list.push_back("www." + std::string(kind) + "-" + n + ".net/path?id=" + n); break;
            default: list.push_back("\xD0\xC2\xCE\xC5" + n + "*" + std::string(kind)); break;  // 新闻
        }
    }
    return list;
}

void runVerdict(benchmark::State& state, std::string_view address) {
    const auto lines = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string> white = makeList(lines, "trusted");
    const std::vector<std::string> black = makeList(lines, "blocked");
    const FilterSettings settings{L"1", L"1", L"1", L"1"};
    const ExceptionLists lists{white, black};
    const CodePage codePage = CodePage::gb2312();
    for (auto _ : state) {
        benchmark::DoNotOptimize(judgeNavigation(codePage, settings, lists, {address, true, false}));
    }
    state.SetItemsProcessed(state.iterations());
}

// No table hit: the black list and every table are searched, the white list is not needed.
void BM_VerdictOrdinaryPage(benchmark::State& state) {
    runVerdict(state, "http://www.example.com.cn/\xD0\xC2\xCE\xC5/2003/0612/index.html?from=home&page=2");
}

// A table hit: the white list is walked as well before the navigation is cancelled.
void BM_VerdictAdvertisement(benchmark::State& state) {
    runVerdict(state, "http://ad.example.net/ads/728x90/banner.gif?zone=17&rnd=8812345");
}

BENCHMARK(BM_VerdictOrdinaryPage)->Arg(0)->Arg(1000)->Arg(10000);
BENCHMARK(BM_VerdictAdvertisement)->Arg(0)->Arg(1000)->Arg(10000);

}  // namespace
}  // namespace nimbrel
