#include "platform/ansi.h"

#include "core/text_pieces.h"

#include <windows.h>

#include <vector>

namespace nimbrel {
namespace {

// A piece's length: at most kConversionPiece, so it fits an int.
int pieceLength(std::size_t length) { return static_cast<int>(length); }

CodePage leadBytesOf(unsigned codePage) {
    CPINFO info{};
    if (!GetCPInfo(codePage, &info)) return CodePage::singleByte();
    std::vector<LeadByteRange> ranges;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        ranges.push_back({info.LeadByte[i], info.LeadByte[i + 1]});
    return CodePage(std::span<const LeadByteRange>(ranges));
}

}  // namespace

// Long texts go in pieces: the system counts in int, and a text of 2 GiB or more would
// come back empty or cut.
std::string toCodePage(unsigned codePage, std::wstring_view text) {
    std::string out;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end) {
        end = utf16PieceEnd(text, start, kConversionPiece);
        const int length = pieceLength(end - start);
        const int bytes = WideCharToMultiByte(codePage, 0, text.data() + start, length, nullptr, 0, nullptr, nullptr);
        if (bytes <= 0) continue;
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(bytes));
        WideCharToMultiByte(codePage, 0, text.data() + start, length, out.data() + at, bytes, nullptr, nullptr);
    }
    return out;
}

std::wstring fromCodePage(unsigned codePage, std::string_view text) {
    std::wstring out;
    const bool pieces = text.size() > kConversionPiece;
    const CodePage leadBytes = pieces && codePage != CP_UTF8 ? leadBytesOf(codePage) : CodePage::singleByte();
    for (std::size_t start = 0, end = 0; start < text.size(); start = end) {
        end = !pieces                 ? text.size()
              : codePage == CP_UTF8 ? utf8PieceEnd(text, start, kConversionPiece)
                                    : ansiPieceEnd(leadBytes, text, start, kConversionPiece);
        const int length = pieceLength(end - start);
        const int chars = MultiByteToWideChar(codePage, 0, text.data() + start, length, nullptr, 0);
        if (chars <= 0) continue;
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(chars));
        MultiByteToWideChar(codePage, 0, text.data() + start, length, out.data() + at, chars);
    }
    return out;
}

std::string toAnsi(std::wstring_view text) { return toCodePage(CP_ACP, text); }

std::wstring fromAnsi(std::string_view text) { return fromCodePage(CP_ACP, text); }

std::string toUtf8(std::wstring_view text) { return toCodePage(CP_UTF8, text); }

CodePage systemCodePage() { return leadBytesOf(CP_ACP); }

}  // namespace nimbrel
