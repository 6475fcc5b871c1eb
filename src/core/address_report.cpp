#include "core/address_report.h"

namespace nimbrel {

namespace {

constexpr std::string_view kBrowserHeading = "Urls List (Internet Explorer):";
constexpr std::string_view kFolderHeading = "Urls List (Windows Explorer):";
constexpr std::string_view kHeadingRuleBreak = "\r";
constexpr std::size_t kHeadingRuleLength = 46;
// Lines break with a bare CR, except the two CR LF pairs that separate the lists.
constexpr std::string_view kListSeparator = "\r \r\n \r\n";
constexpr std::string_view kFolderMarker = "FILE://";

std::string heading(std::string_view title) {
    std::string text(title);
    text += kHeadingRuleBreak;
    text.append(kHeadingRuleLength, '-');
    return text;
}

void appendEntry(std::string& list, int number, std::string_view address) {
    list += '\r';
    list += std::to_string(number);
    list += ": ";
    list += address;
}

}  // namespace

bool isFolderAddress(const CodePage& codePage, std::string_view address) {
    return containsAtBoundary(codePage, upperCase(codePage, address), kFolderMarker);
}

std::string buildAddressReport(const CodePage& codePage, std::span<const std::string> addresses) {
    std::string browsers;
    std::string folders;
    int nextBrowser = 1;
    int nextFolder = 1;
    for (const std::string& address : addresses) {
        if (isFolderAddress(codePage, address)) {
            appendEntry(folders, nextFolder++, address);
        } else {
            appendEntry(browsers, nextBrowser++, address);
        }
    }
    return heading(kBrowserHeading) + browsers + std::string(kListSeparator) + heading(kFolderHeading) +
           folders;
}

}  // namespace nimbrel
