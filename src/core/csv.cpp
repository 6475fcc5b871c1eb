#include "core/csv.h"

#include <algorithm>

namespace nimbrel {
namespace {

// A spreadsheet runs a cell that starts with one of these as a formula (a tab or CR it
// may drop first, and run what follows).
bool startsAsFormula(std::string_view text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

bool needsQuotes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c == ',' || c == '"' || static_cast<unsigned char>(c) < 32; });
}

}  // namespace

std::string csvField(std::string_view text) {
    const bool formula = startsAsFormula(text);
    if (!formula && !needsQuotes(text)) return std::string(text);
    std::string out = formula ? "\"'" : "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string utf8CsvDocument(const std::vector<std::vector<std::string>>& records) {
    std::string out = "\xEF\xBB\xBF";
    for (const auto& record : records) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (i > 0) out += ',';
            out += csvField(record[i]);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace nimbrel
