#include "filter/block_log_export.h"

#include "core/csv.h"
#include "platform/ansi.h"
#include "platform/safe_file.h"

namespace nimbrel {

void exportBlockLog(const BlockLog& log, const std::wstring& path) {
    std::vector<std::vector<std::string>> records{{toUtf8(L"时间"), toUtf8(L"地址"), toUtf8(L"原因")}};
    for (const LogRow& row : log.rows())
        records.push_back(
            {toUtf8(fromAnsi(row.timeStamp)), toUtf8(fromAnsi(row.address)), toUtf8(shownReason(row))});
    writeFileBytes(path, utf8CsvDocument(records));
}

}  // namespace nimbrel
