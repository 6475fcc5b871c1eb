#include "platform/http_download.h"

#include "platform/raii.h"

#include <winhttp.h>

#include <optional>
#include <vector>

namespace nimbrel {
namespace {

struct InternetTraits {
    static HINTERNET empty() { return nullptr; }
    static void close(HINTERNET h) { WinHttpCloseHandle(h); }
};
using Internet = UniqueHandle<HINTERNET, InternetTraits>;

// A text WinHTTP hands over to be freed with GlobalFree.
class GlobalText {
public:
    explicit GlobalText(LPWSTR text) : text_(text) {}
    ~GlobalText() {
        if (text_) GlobalFree(text_);
    }
    GlobalText(const GlobalText&) = delete;
    GlobalText& operator=(const GlobalText&) = delete;
    std::wstring str() const { return text_ ? text_ : L""; }
    explicit operator bool() const { return text_ && *text_; }

private:
    LPWSTR text_;
};

struct Proxy {
    std::wstring server, bypass;  // empty server: go direct
};

// The proxy for this address as Internet Explorer's settings name it: the script that
// auto-detection finds or that the settings name, else the fixed proxy, else none.
Proxy proxyFor(HINTERNET session, const std::wstring& url) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG ie{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&ie)) return {};
    const GlobalText script(ie.lpszAutoConfigUrl), server(ie.lpszProxy), bypass(ie.lpszProxyBypass);
    if (ie.fAutoDetect || script) {
        WINHTTP_AUTOPROXY_OPTIONS options{};
        options.dwFlags = (ie.fAutoDetect ? WINHTTP_AUTOPROXY_AUTO_DETECT : 0) |
                          (script ? WINHTTP_AUTOPROXY_CONFIG_URL : 0);
        options.dwAutoDetectFlags = ie.fAutoDetect ? WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A : 0;
        options.lpszAutoConfigUrl = ie.lpszAutoConfigUrl;
        options.fAutoLogonIfChallenged = TRUE;
        WINHTTP_PROXY_INFO found{};
        if (WinHttpGetProxyForUrl(session, url.c_str(), &options, &found)) {
            const GlobalText foundServer(found.lpszProxy), foundBypass(found.lpszProxyBypass);
            if (found.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && foundServer)
                return {foundServer.str(), foundBypass.str()};
            return {};
        }
    }
    if (server) return {server.str(), bypass.str()};
    return {};
}

void useProxy(HINTERNET request, const Proxy& proxy) {
    if (proxy.server.empty()) return;
    WINHTTP_PROXY_INFO info{};
    info.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
    info.lpszProxy = const_cast<LPWSTR>(proxy.server.c_str());
    info.lpszProxyBypass = proxy.bypass.empty() ? nullptr : const_cast<LPWSTR>(proxy.bypass.c_str());
    WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &info, sizeof info);
}

// A channel error is what some implementations report for a certificate they refused.
bool isSecureChannelError(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE: return true;
    default: return false;
    }
}

DownloadResult failedBeforeBody(DWORD error) {
    DownloadResult result;
    if (isSecureChannelError(error))
        result.outcome = DownloadOutcome::insecure;
    else if (error == ERROR_WINHTTP_UNRECOGNIZED_SCHEME || error == ERROR_WINHTTP_INVALID_URL)
        result.outcome = DownloadOutcome::badAddress;
    else
        result.outcome = DownloadOutcome::cannotConnect;
    return result;
}

std::optional<std::wstring> header(HINTERNET request, DWORD which) {
    DWORD bytes = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &bytes, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return std::nullopt;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    return std::wstring(text.data());
}

// Content-Length as sent (it may pass 4 GB, beyond WinHTTP's number form).
std::optional<std::uint64_t> contentLength(HINTERNET request) {
    const auto text = header(request, WINHTTP_QUERY_CONTENT_LENGTH);
    if (!text || text->empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : *text) {
        if (c < L'0' || c > L'9' || value > (~0ull - 9) / 10) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return value;
}

void addHeader(HINTERNET request, const wchar_t* name, const std::wstring& value) {
    if (value.empty()) return;
    const std::wstring line = std::wstring(name) + L": " + value;
    WinHttpAddRequestHeaders(request, line.c_str(), static_cast<DWORD>(line.size()), WINHTTP_ADDREQ_FLAG_ADD);
}

bool writeAll(HANDLE file, const char* bytes, DWORD size) {
    while (size) {
        DWORD written = 0;
        if (!WriteFile(file, bytes, size, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

DownloadOutcome readBody(HINTERNET request, const DownloadRequest& wanted, std::optional<std::uint64_t> length,
                         std::uint64_t& total) {
    FileHandle file(CreateFileW(wanted.bodyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return DownloadOutcome::cannotWrite;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        if (wanted.stopRequested && wanted.stopRequested()) return DownloadOutcome::stopped;
        DWORD got = 0;
        if (!WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got))
            return DownloadOutcome::cutOff;
        if (got == 0) break;
        total += got;
        if (total > wanted.maxBytes) return DownloadOutcome::tooLarge;
        if (!writeAll(file.get(), buffer.data(), got)) return DownloadOutcome::cannotWrite;
    }
    if (length && total != *length) return DownloadOutcome::cutOff;
    return FlushFileBuffers(file.get()) ? DownloadOutcome::ok : DownloadOutcome::cannotWrite;
}

}  // namespace

DownloadResult downloadToFile(const DownloadRequest& request) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(request.url.c_str(), 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
        parts.dwHostNameLength == 0)
        return {DownloadOutcome::badAddress};
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                        std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    const Internet session(WinHttpOpen(L"Nimbrel", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failedBeforeBody(GetLastError());
    WinHttpSetTimeouts(session.get(), 30000, 30000, 30000, 60000);
    const Internet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return failedBeforeBody(GetLastError());
    const Internet call(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!call) return failedBeforeBody(GetLastError());
    useProxy(call.get(), proxyFor(session.get(), request.url));
    addHeader(call.get(), L"If-None-Match", request.etag);
    addHeader(call.get(), L"If-Modified-Since", request.lastModified);
    if (!WinHttpSendRequest(call.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(call.get(), nullptr))
        return failedBeforeBody(GetLastError());

    DownloadResult result;
    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(call.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX);
    result.status = static_cast<int>(status);
    result.etag = header(call.get(), WINHTTP_QUERY_ETAG).value_or(L"");
    result.lastModified = header(call.get(), WINHTTP_QUERY_LAST_MODIFIED).value_or(L"");
    if (status == HTTP_STATUS_NOT_MODIFIED) {
        result.outcome = DownloadOutcome::notModified;
    } else if (status != HTTP_STATUS_OK) {
        result.outcome = DownloadOutcome::httpStatus;
    } else {
        const auto length = contentLength(call.get());
        result.outcome = length && *length > request.maxBytes ? DownloadOutcome::tooLarge
                                                              : readBody(call.get(), request, length, result.bytes);
    }
    return result;
}

}  // namespace nimbrel
