#include "support/list_data.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/list_text.h"

namespace nimbrel {

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<NamedRules> readFilterList(const std::string& path) {
    const auto bytes = readFile(path);
    if (!bytes) return std::nullopt;
    // Latin-1 stands in for the ANSI code page; names that need IDN conversion are not used.
    const auto latin1 = [](std::string_view text) {
        std::u16string out;
        for (char c : text) out += static_cast<char16_t>(static_cast<unsigned char>(c));
        return out;
    };
    return NamedRules{std::wstring(path.begin(), path.end()), parseFilterList(*bytes, nullptr, latin1)};
}

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
