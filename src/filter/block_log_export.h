// The block log taken out of the program: a CSV file that spreadsheets open.
#pragma once

#include "filter/block_log.h"

#include <string>

namespace nimbrel {

// Writes every row as the log keeps it (the address whole, which the list view shows only
// up to a NUL) with its reason, oldest first, under the header 时间,地址,原因: UTF-8 with a
// byte-order mark, quoted as RFC 4180 asks; a field a spreadsheet would run as a formula is
// kept as text. The file is replaced in one step; one that cannot be written throws
// "Cannot create file %s" and is left as it was.
void exportBlockLog(const BlockLog& log, const std::wstring& path);

}  // namespace nimbrel
