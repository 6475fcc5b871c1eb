#include "core/unicode_text.h"

namespace nimbrel {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    const auto byte = [](char32_t value) { return static_cast<char>(value); };
    if (c < 0x80) {
        out += byte(c);
    } else if (c < 0x800) {
        out += byte(0xC0 | c >> 6);
        out += byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += byte(0xE0 | c >> 12);
        out += byte(0x80 | (c >> 6 & 0x3F));
        out += byte(0x80 | (c & 0x3F));
    } else {
        out += byte(0xF0 | c >> 18);
        out += byte(0x80 | (c >> 12 & 0x3F));
        out += byte(0x80 | (c >> 6 & 0x3F));
        out += byte(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

// The character starting at `at`, and its length; nullopt for a malformed sequence.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& at) {
    const auto unit = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = unit(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, c = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, c = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, c = lead & 0x07, least = 0x10000;
    else return std::nullopt;
    if (text.size() - at < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((unit(at + i) & 0xC0) != 0x80) return std::nullopt;
        c = c << 6 | (unit(at + i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    at += length;
    return c;
}

std::u16string utf16OfBytes(std::string_view bytes, bool littleEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(littleEndian ? first | second << 8 : second | first << 8);
    }
    return units;
}

}  // namespace

std::string utf8OfUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, high || low ? kReplacement : unit);
        }
    }
    return out;
}

std::optional<std::u16string> utf16OfUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto c = decodeUtf8(text, at);
        if (!c) return std::nullopt;
        appendUtf16(out, *c);
    }
    return out;
}

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        // Runs of ASCII are the bulk of every list: skip them without decoding.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        if (!decodeUtf8(text, at)) return false;
    }
    return true;
}

std::string_view utf8TextOf(std::string_view bytes, const std::function<std::u16string(std::string_view)>& ansiToUtf16,
                            std::string& storage) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        storage = utf8OfUtf16(utf16OfBytes(bytes.substr(2), bytes[0] == '\xFF'));
        return storage;
    }
    if (isUtf8(bytes) || !ansiToUtf16) return bytes;
    storage = utf8OfUtf16(ansiToUtf16(bytes));
    return storage;
}

}  // namespace nimbrel
