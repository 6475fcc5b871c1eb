// One HTTP(S) GET with WinHTTP, its body written to a file. It blocks its caller (a worker
// thread, never the window's), goes through the proxy the user's Internet Explorer settings
// name (auto-detect and PAC included) and checks certificates as the system does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace nimbrel {

inline constexpr std::uint64_t kMaxDownloadBytes = 50ull * 1024 * 1024;

struct DownloadRequest {
    std::wstring url;
    // Sent as If-None-Match and If-Modified-Since when not empty.
    std::wstring etag, lastModified;
    std::wstring bodyFile;  // created or emptied; holds the body when the outcome is `ok`
    std::uint64_t maxBytes = kMaxDownloadBytes;
    std::function<bool()> stopRequested;  // asked between chunks; may be empty
};

enum class DownloadOutcome {
    ok,               // 200, whole body in the file
    notModified,      // 304
    httpStatus,       // any other status: `status` says which
    cannotConnect,    // no name, no route, refused, timed out, proxy unreachable
    insecure,         // no secure channel: the server's certificate failed the system's checks, or the handshake
    tooLarge,         // more than maxBytes, announced or received
    cutOff,           // the transfer ended before the announced length, or broke off
    cannotWrite,      // the body file could not be written
    stopped,          // stopRequested said so
    badAddress,       // not an http(s) address WinHTTP can take
};

struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::cannotConnect;
    int status = 0;
    std::wstring etag, lastModified;  // of the response, when it had them
    std::uint64_t bytes = 0;
};

DownloadResult downloadToFile(const DownloadRequest& request);

}  // namespace nimbrel
