#include "support/list_data.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/list_text.h"

namespace nimbrel {

namespace {

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::optional<std::vector<std::string>> readListLines(const std::string& path) {
    const auto text = readFile(path);
    if (!text) return std::nullopt;
    return splitLines(normaliseLineEnds(*text));
}

std::optional<std::vector<std::string>> readAddresses(const std::string& path) {
    auto lines = readListLines(path);
    if (lines) std::erase_if(*lines, [](const std::string& line) { return line.empty(); });
    return lines;
}

TimeSpread spreadOf(std::vector<double> micros) {
    if (micros.empty()) return {};
    const auto at = [&](double share) {
        const auto index = static_cast<std::size_t>(share * static_cast<double>(micros.size() - 1));
        std::nth_element(micros.begin(), micros.begin() + static_cast<std::ptrdiff_t>(index), micros.end());
        return micros[index];
    };
    return {.medianMicros = at(0.5), .p99Micros = at(0.99)};
}

}  // namespace nimbrel
