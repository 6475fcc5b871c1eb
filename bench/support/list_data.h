#pragma once
// Lists and addresses from files, as the benchmarks and the replay tool read them, and
// the spread of per-verdict times.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/host_set.h"

namespace nimbrel {

// A file's bytes; nothing when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

// A published filter list read as the program reads it (non-ASCII names left out: there is no
// IDN conversion here); nothing when the file cannot be read.
std::optional<NamedRules> readFilterList(const std::string& path);

// The lines of a list file (ANSI text, any line ends), as the box would hold them; nothing
// when the file cannot be read.
std::optional<std::vector<std::string>> readListLines(const std::string& path);

// One address a line; empty lines are skipped.
std::optional<std::vector<std::string>> readAddresses(const std::string& path);

struct TimeSpread {
    double medianMicros = 0;
    double p99Micros = 0;
};

TimeSpread spreadOf(std::vector<double> micros);

// Times one call of `judge` per address.
template <typename Judge>
TimeSpread timeEach(const std::vector<std::string>& addresses, Judge judge) {
    std::vector<double> micros;
    micros.reserve(addresses.size());
    for (const std::string& address : addresses) {
        const auto start = std::chrono::steady_clock::now();
        judge(address);
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    return spreadOf(micros);
}

}  // namespace nimbrel
