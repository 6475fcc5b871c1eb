// The verdict at list scale, before (every line walked, as the reference matcher does) and
// after (the compiled index), over an address corpus: empty lists, 10,000-line lists, and an
// 84,000-line black list of real ad hosts with a 10,000-line white list. The data comes from
// scripts/bench-data.sh (build/bench-data/, or $NIMBREL_BENCH_DATA); without it, made-up
// lists of the same sizes. The filter lists are the black list's hosts as "||host^" rules and a
// synthetic hosts file that brings them to 300,000 hosts. Counters: median and p99 of single
// verdicts in microseconds, the lists' memory in MB.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/ad_server_list.h"
#include "core/compiled_list.h"
#include "core/host_set.h"
#include "core/list_text.h"
#include "core/navigation_filter.h"
#include "support/list_data.h"

namespace nimbrel {
namespace {

constexpr FilterSettings kSettings{L"1", L"1", L"1", L"1"};

struct Data {
    std::vector<std::string> black, white, urls;
    bool real = false;
};

constexpr std::size_t kFilterListHosts = 300000;

std::string dataFolder() {
    const char* folder = std::getenv("NIMBREL_BENCH_DATA");
    return folder ? folder : NIMBREL_BENCH_DATA_DEFAULT;
}

Data madeUpData() {
    Data data;
    for (int i = 0; i < 84000; ++i) data.black.push_back("TRACK" + std::to_string(i * 7919 % 100000) + ".ADNET.COM");
    for (int i = 0; i < 10000; ++i) data.white.push_back("WWW.SITE" + std::to_string(i) + ".COM.CN*/NEWS/");
    for (int i = 0; i < 3000; ++i) {
        const std::string n = std::to_string(i);
        data.urls.push_back(i % 10 == 0 ? "http://track" + n + ".adnet.com/px.gif?id=" + n
                                        : "http://www.page" + n + ".com.cn/news/" + n + ".html?from=home");
    }
    return data;
}

const Data& data() {
    static const Data loaded = [] {
        const std::string folder = dataFolder();
        auto black = readListLines(folder + "/black.lis");
        auto white = readListLines(folder + "/white.lis");
        auto urls = readAddresses(folder + "/urls.txt");
        if (!black || !white || !urls || urls->empty()) return madeUpData();
        return Data{std::move(*black), std::move(*white), std::move(*urls), true};
    }();
    return loaded;
}

// The black list's hosts as filter rules and the synthetic hosts file of scripts/bench-data.py;
// made up when they are missing.
const std::vector<NamedRules>& filterLists() {
    static const std::vector<NamedRules> lists = [] {
        std::vector<NamedRules> loaded;
        for (const char* name : {"/filters.txt", "/hosts.txt"})
            if (auto list = readFilterList(dataFolder() + name)) loaded.push_back(std::move(*list));
        if (loaded.size() == 2) return loaded;
        NamedRules madeUp{L"made up", {}};
        for (std::size_t i = 0; i < kFilterListHosts; ++i)
            madeUp.rules.blocked.push_back("t" + std::to_string(i * 7919 % 1000003) + ".adnet" + std::to_string(i % 97) + ".com");
        return std::vector<NamedRules>{madeUp};
    }();
    return lists;
}

std::size_t filterListHosts() {
    std::size_t hosts = 0;
    for (const NamedRules& list : filterLists()) hosts += list.rules.blocked.size() + list.rules.allowed.size();
    return hosts;
}

// Argument: 0 empty lists, 1 the first 10,000 lines of each, 2 the whole black list.
ExceptionLists listsAt(int scale) {
    const Data& d = data();
    switch (scale) {
        case 0: return {};
        case 1: return {ListLines(d.white).first(std::min<std::size_t>(10000, d.white.size())),
                        ListLines(d.black).first(std::min<std::size_t>(10000, d.black.size()))};
        default: return {d.white, d.black};
    }
}

std::size_t linesMemory(ListLines lines) {
    std::size_t bytes = lines.size() * sizeof(std::string);
    for (const std::string& line : lines) bytes += line.capacity() > 15 ? line.capacity() + 1 : 0;
    return bytes;
}

void report(benchmark::State& state, const TimeSpread& spread, std::size_t memoryBytes) {
    state.counters["median_us"] = spread.medianMicros;
    state.counters["p99_us"] = spread.p99Micros;
    state.counters["memory_MB"] = static_cast<double>(memoryBytes) / (1024.0 * 1024.0);
    state.SetLabel(data().real ? "real lists" : "made-up lists");
}

template <typename Judge>
void loopOver(benchmark::State& state, const std::vector<std::string>& urls, Judge judge) {
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(judge(urls[next]));
        next = next + 1 == urls.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

// Before: every line walked per verdict. Long lists take a sample of the corpus.
void BM_VerdictLineByLine(benchmark::State& state) {
    const ExceptionLists lists = listsAt(static_cast<int>(state.range(0)));
    const std::size_t stride = 1 + (lists.black.size() + lists.white.size()) / 1000;
    std::vector<std::string> sample;
    for (std::size_t i = 0; i < data().urls.size(); i += stride) sample.push_back(data().urls[i]);
    const auto judge = [&](const std::string& url) { return judgeAddress(CodePage::gb2312(), kSettings, lists, url); };
    report(state, timeEach(sample, judge), linesMemory(lists.black) + linesMemory(lists.white));
    loopOver(state, sample, judge);
}

// After: the compiled index, over the whole corpus.
void BM_VerdictCompiled(benchmark::State& state) {
    const CompiledLists compiled(CodePage::gb2312(), listsAt(static_cast<int>(state.range(0))));
    const auto judge = [&](const std::string& url) { return judgeAddress(kSettings, compiled, url); };
    report(state, timeEach(data().urls, judge), compiled.memoryBytes());
    loopOver(state, data().urls, judge);
}

// After, with the filter lists: the whole lists and 300,000 filter-list hosts.
void BM_VerdictCompiledWithFilterLists(benchmark::State& state) {
    const CompiledLists compiled(CodePage::gb2312(), listsAt(2));
    const FilterHosts hosts(filterLists());
    const auto judge = [&](const std::string& url) { return judgeAddress(kSettings, compiled, url, &hosts); };
    report(state, timeEach(data().urls, judge), compiled.memoryBytes() + hosts.memoryBytes());
    state.counters["filter_hosts"] = static_cast<double>(filterListHosts());
    loopOver(state, data().urls, judge);
}

// The same with what removed each cancelled address named, as the program logs it.
void BM_VerdictCompiledWithReasons(benchmark::State& state) {
    const CompiledLists compiled(CodePage::gb2312(), listsAt(2));
    const FilterHosts hosts(filterLists());
    const auto judge = [&](const std::string& url) {
        BlockReason reason;
        return judgeAddress(kSettings, compiled, url, &hosts, &reason);
    };
    report(state, timeEach(data().urls, judge), compiled.memoryBytes() + hosts.memoryBytes());
    loopOver(state, data().urls, judge);
}

// The filter lists' own step: the host of an address looked up, nothing else.
void BM_FilterHostsLookup(benchmark::State& state) {
    const FilterHosts hosts(filterLists());
    const auto judge = [&](const std::string& url) { return hosts.blocks(url); };
    report(state, timeEach(data().urls, judge), hosts.memoryBytes());
    loopOver(state, data().urls, judge);
}

// Compiling 300,000 filter-list hosts after an update; memory_MB is the compiled set's.
void BM_CompileFilterHosts(benchmark::State& state) {
    std::size_t memory = 0;
    for (auto _ : state) {
        const FilterHosts hosts(filterLists());
        memory = hosts.memoryBytes();
        benchmark::DoNotOptimize(memory);
    }
    state.counters["memory_MB"] = static_cast<double>(memory) / (1024.0 * 1024.0);
    state.counters["filter_hosts"] = static_cast<double>(filterListHosts());
}

// Reading the filter lists' text into rules, as an update does before compiling.
void BM_ParseFilterLists(benchmark::State& state) {
    std::vector<std::string> texts;
    for (const char* name : {"/filters.txt", "/hosts.txt"})
        if (auto text = readFile(dataFolder() + name)) texts.push_back(std::move(*text));
    std::size_t used = 0;
    for (auto _ : state) {
        used = 0;
        for (const std::string& text : texts) used += parseFilterList(text, nullptr, nullptr).used;
        benchmark::DoNotOptimize(used);
    }
    state.counters["rules"] = static_cast<double>(used);
}

// Compiling both lists after a change.
void BM_RebuildCompiled(benchmark::State& state) {
    const ExceptionLists lists = listsAt(static_cast<int>(state.range(0)));
    std::size_t memory = 0;
    for (auto _ : state) {
        const CompiledLists compiled(CodePage::gb2312(), lists);
        memory = compiled.memoryBytes();
        benchmark::DoNotOptimize(memory);
    }
    state.counters["memory_MB"] = static_cast<double>(memory) / (1024.0 * 1024.0);
}

// What the line-by-line filter redoes at every event: the box text split into lines.
void BM_SplitBoxText(benchmark::State& state) {
    const ExceptionLists lists = listsAt(static_cast<int>(state.range(0)));
    std::string white, black;
    for (const std::string& line : lists.white) white += line + "\r\n";
    for (const std::string& line : lists.black) black += line + "\r\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(splitLines(white));
        benchmark::DoNotOptimize(splitLines(black));
    }
}

// The program's own part of importing the black list's hosts as a published list (one host a
// line) into the black-list box: parsing, anchoring, checking against the box's lines.
// Argument: 0 an empty box, 1 a box already holding the black list's plain lines.
void BM_PlanImport(benchmark::State& state) {
    std::string hosts;
    for (const std::string& host : data().black) hosts += host + "\r\n";
    const std::string box = state.range(0) == 0 ? std::string() : hosts;
    std::size_t added = 0;
    for (auto _ : state) {
        added = planAdServerImport(box, hosts).added;
        benchmark::DoNotOptimize(added);
    }
    state.counters["added"] = static_cast<double>(added);
}

BENCHMARK(BM_VerdictLineByLine)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VerdictCompiled)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VerdictCompiledWithFilterLists)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VerdictCompiledWithReasons)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilterHostsLookup)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompileFilterHosts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseFilterLists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildCompiled)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitBoxText)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanImport)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbrel
