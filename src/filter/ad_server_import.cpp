#include "filter/ad_server_import.h"

#include "core/messages.h"
#include "platform/error.h"
#include "platform/raii.h"

#include <windows.h>

#include <algorithm>

namespace nimbrel {

std::string readAdServerList(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) throw Error(formatMessage(L"Cannot open file %s", {path}));
    if (static_cast<std::uint64_t>(size.QuadPart) > kAdServerListLimit)
        throw Error(formatMessage(kImportTooLarge, {path}));
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, wanted, &chunk, nullptr))
            throw Error(formatMessage(L"Cannot open file %s", {path}));
        if (chunk == 0) break;
        done += chunk;
    }
    bytes.resize(done);
    return bytes;
}

std::wstring importReport(const AdServerImport& result) {
    const std::wstring added = std::to_wstring(result.added), there = std::to_wstring(result.alreadyThere),
                       skipped = std::to_wstring(result.skipped);
    if (result.notReceived == 0) return formatMessage(kImportReport, {added, there, skipped});
    return formatMessage(kImportCut, {added, std::to_wstring(result.notReceived), there, skipped});
}

}  // namespace nimbrel
