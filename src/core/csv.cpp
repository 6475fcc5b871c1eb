#include "core/csv.h"

namespace nimbrel {

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
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
