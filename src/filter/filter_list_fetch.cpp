#include "filter/filter_list_fetch.h"

#include "core/messages.h"
#include "filter/list_files.h"
#include "platform/error.h"
#include "platform/http_download.h"

#include <windows.h>
#include <winhttp.h>

#include <vector>

namespace nimbrel {
namespace {

std::optional<std::string> idnToAscii(std::u16string_view host) {
    const auto* wide = reinterpret_cast<const wchar_t*>(host.data());
    const int length = IdnToAscii(0, wide, static_cast<int>(host.size()), nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring ascii(static_cast<size_t>(length), L'\0');
    if (IdnToAscii(0, wide, static_cast<int>(host.size()), ascii.data(), length) != length) return std::nullopt;
    std::string text;
    for (wchar_t c : ascii) {
        if (c > 0x7F) return std::nullopt;
        text += static_cast<char>(c);
    }
    return text;
}

std::u16string ansiToUtf16(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string text(static_cast<size_t>(std::max(length, 0)), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(text.data()),
                        length);
    return text;
}

ListFetch failed(std::wstring_view status) {
    ListFetch fetch;
    fetch.status = status;
    return fetch;
}

// A fresh file beside the copies; empty when the folder takes none.
std::wstring newFileIn(const std::wstring& folder) {
    std::vector<wchar_t> name(MAX_PATH + folder.size());
    if (folder.empty() || !GetTempFileNameW(folder.c_str(), L"new", 0, name.data())) return {};
    return name.data();
}

std::wstring downloadStatus(const DownloadResult& result) {
    switch (result.outcome) {
    case DownloadOutcome::ok: return std::wstring(kListUpdated);
    case DownloadOutcome::notModified: return std::wstring(kListUnchanged);
    case DownloadOutcome::httpStatus: return formatMessage(kServerReturned, {std::to_wstring(result.status)});
    case DownloadOutcome::insecure: return std::wstring(kInsecure);
    case DownloadOutcome::tooLarge: return std::wstring(kTooLarge);
    case DownloadOutcome::cutOff:
    case DownloadOutcome::stopped: return std::wstring(kCutOff);
    case DownloadOutcome::cannotWrite: return std::wstring(kCannotSave);
    case DownloadOutcome::badAddress: return std::wstring(kBadAddress);
    case DownloadOutcome::cannotConnect: break;
    }
    return std::wstring(kCannotConnect);
}

// The whole text must be a list: at least one rule, and not a page or other text.
ListFetch checkNewText(const std::wstring& file) {
    std::optional<std::string> bytes;
    try {
        bytes = readFileBytes(file);
    } catch (const Error&) {
    }
    if (!bytes) return failed(kCannotSave);
    const FilterListRules rules = parseListText(*bytes);
    if (!rules.isList || rules.used == 0) return failed(kNotAList);
    ListFetch fetch;
    fetch.kind = ListFetch::Kind::replaced;
    fetch.status = kListUpdated;
    fetch.rules = rules.used;
    fetch.unused = rules.unused;
    fetch.expiresHours = rules.expires ? static_cast<int>(rules.expires->count()) : 0;
    fetch.checkedFile = file;
    return fetch;
}

ListFetch download(const FetchRequest& request, const std::wstring& file) {
    DownloadRequest download;
    download.url = request.source;
    download.etag = request.etag;
    download.lastModified = request.lastModified;
    download.bodyFile = file;
    download.stopRequested = request.stopRequested;
    const DownloadResult result = downloadToFile(download);
    if (result.outcome == DownloadOutcome::notModified) {
        ListFetch fetch = failed(kListUnchanged);
        fetch.kind = ListFetch::Kind::unchanged;
        return fetch;
    }
    if (result.outcome != DownloadOutcome::ok) return failed(downloadStatus(result));
    ListFetch fetch = checkNewText(file);
    fetch.etag = result.etag;
    fetch.lastModified = result.lastModified;
    return fetch;
}

ListFetch readAgain(const FetchRequest& request, const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(request.source.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return failed(kFileMissing);
    const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    if (size > kMaxDownloadBytes) return failed(kTooLarge);
    if (!CopyFileW(request.source.c_str(), file.c_str(), FALSE)) return failed(kCannotRead);
    return checkNewText(file);
}

}  // namespace

bool isWebAddress(std::wstring_view source) {
    const std::wstring address(source);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    return WinHttpCrackUrl(address.c_str(), 0, 0, &parts) &&
           (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS) &&
           parts.dwHostNameLength > 0;
}

ListFetch fetchList(const FetchRequest& request) {
    const std::wstring file = newFileIn(request.folder);
    if (file.empty()) return failed(kCannotSave);
    ListFetch fetch = isWebAddress(request.source) ? download(request, file) : readAgain(request, file);
    if (fetch.kind != ListFetch::Kind::replaced) DeleteFileW(file.c_str());
    return fetch;
}

FilterListRules parseListText(std::string_view bytes) { return parseFilterList(bytes, idnToAscii, ansiToUtf16); }

}  // namespace nimbrel
