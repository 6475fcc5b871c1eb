// Comma-separated values as RFC 4180 writes them, for files that spreadsheets open.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// A field in double quotes when it holds a comma, a double quote or a control character
// (CR, LF, a tab, a NUL; quotes inside doubled); as it is otherwise. A field that a
// spreadsheet would run as a formula (one that starts with =, +, -, @, a tab or CR) is
// quoted with an apostrophe first inside the quotes, so that it shows as the text it is.
std::string csvField(std::string_view text);

// Records of UTF-8 fields, each ended by CR LF, after a UTF-8 byte-order mark so that
// spreadsheet programs read the text as UTF-8.
std::string utf8CsvDocument(const std::vector<std::vector<std::string>>& records);

}  // namespace nimbrel
