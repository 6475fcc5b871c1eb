// The open-address report on arbitrary addresses (split at LF; the first byte picks the
// code page): every address appears in its own list, numbered from 1 without a gap.
// Addresses with a CR are left out: the report's own pieces begin with one.
#include "core/address_report.h"
#include "fuzz_input.h"

using namespace nimbrel;
using fuzz::broken;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const CodePage codePage = fuzz::codePageOf(data[0]);
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> addresses = fuzz::takeLines(rest);
    addresses.emplace_back(rest);
    for (const std::string& address : addresses)
        if (address.find('\r') != std::string::npos) return 0;

    const std::string report = buildAddressReport(codePage, addresses);
    const size_t folderList = report.find("\r \r\n \r\nUrls List (Windows Explorer):");
    if (folderList == std::string::npos) broken("no folder list");
    int browsers = 0, folders = 0;
    for (const std::string& address : addresses) {
        int& counter = isFolderAddress(codePage, address) ? folders : browsers;
        const std::string entry = "\r" + std::to_string(++counter) + ": " + address;
        const bool folder = isFolderAddress(codePage, address);
        const size_t at = report.find(entry, folder ? folderList : 0);
        if (at == std::string::npos) broken("an entry is missing");
        if (!folder && at > folderList) broken("a browser entry in the folder list");
    }
    return 0;
}
