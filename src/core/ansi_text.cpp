#include "core/ansi_text.h"

#include <cstring>

namespace nimbrel {

namespace {

bool isAsciiLower(unsigned char byte) { return byte >= 'a' && byte <= 'z'; }

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Eight bytes at once: a to z upper-cased, every other byte (those above 127 too) kept. Each
// sum stays below 256 in its byte, so no carry crosses into the next.
std::uint64_t upperCasedWord(std::uint64_t word) {
    const std::uint64_t low = word & ~kHighBits;
    const std::uint64_t fromA = low + kEveryByte * (128 - 'a');   // top bit: at least 'a'
    const std::uint64_t pastZ = low + kEveryByte * (127 - 'z');   // top bit: beyond 'z'
    const std::uint64_t lower = fromA & ~pastZ & ~word & kHighBits;
    return word ^ (lower >> 2);  // 0x80 >> 2 is the case bit
}

// Copies the text upper-cased (right for text without double-byte characters); true when
// some byte is above 127.
bool copyUpperCasedAscii(std::string_view text, char* out) {
    std::uint64_t seen = 0;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        seen |= word;
        word = upperCasedWord(word);
        std::memcpy(out + at, &word, 8);
    }
    if (at < text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, text.size() - at);
        seen |= word;
        word = upperCasedWord(word);
        std::memcpy(out + at, &word, text.size() - at);
    }
    return (seen & kHighBits) != 0;
}

}  // namespace

CodePage::CodePage(std::span<const LeadByteRange> leadRanges) {
    for (const LeadByteRange& range : leadRanges) {
        for (unsigned value = range.first; value <= range.last; ++value) {
            lead_[value / 64] |= std::uint64_t{1} << (value % 64);
            hasLeadBytes_ = true;
        }
    }
}

CodePage::CodePage(std::initializer_list<LeadByteRange> leadRanges)
    : CodePage(std::span<const LeadByteRange>(leadRanges.begin(), leadRanges.size())) {}

CodePage CodePage::fromLeadBytePairs(std::span<const unsigned char> pairs) {
    std::vector<LeadByteRange> ranges;
    for (std::size_t i = 0; i + 1 < pairs.size() && (pairs[i] != 0 || pairs[i + 1] != 0); i += 2) {
        ranges.push_back({pairs[i], pairs[i + 1]});
    }
    return CodePage(ranges);
}

CodePage CodePage::singleByte() { return CodePage(); }

CodePage CodePage::gb2312() { return CodePage{{0x81, 0xFE}}; }

std::size_t CodePage::charLength(std::string_view text, std::size_t pos) const {
    const bool startsPair = isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size();
    return startsPair ? 2 : 1;
}

void upperCaseInPlace(const CodePage& codePage, std::span<char> text) {
    const std::string_view view(text.data(), text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (isAsciiLower(byte)) {
            text[pos] = static_cast<char>(byte - ('a' - 'A'));
        }
        pos += codePage.charLength(view, pos);
    }
}

void upperCaseInPlace(const CodePage& codePage, std::string& text) { upperCaseInPlace(codePage, std::span<char>(text)); }

std::string upperCase(const CodePage& codePage, std::string_view text) {
    std::string result(text);
    upperCaseInPlace(codePage, result);
    return result;
}

std::size_t findAtBoundary(const CodePage& codePage, std::string_view haystack, std::string_view needle) {
    std::size_t candidate = haystack.find(needle);
    if (!codePage.hasLeadBytes()) {
        return candidate;
    }
    // Walk the characters alongside the candidates; both only move forward.
    std::size_t boundary = 0;
    while (candidate != std::string_view::npos) {
        while (boundary < candidate) {
            boundary += codePage.charLength(haystack, boundary);
        }
        if (boundary == candidate) {
            return candidate;
        }
        candidate = haystack.find(needle, candidate + 1);
    }
    return std::string_view::npos;
}

bool containsAtBoundary(const CodePage& codePage, std::string_view haystack, std::string_view needle) {
    return findAtBoundary(codePage, haystack, needle) != std::string_view::npos;
}

bool containsIgnoringCase(const CodePage& codePage, std::string_view haystack, std::string_view needle) {
    return containsAtBoundary(codePage, upperCase(codePage, haystack), upperCase(codePage, needle));
}

std::string_view trimBlanksAndControls(std::string_view text) {
    while (!text.empty() && isBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// One pass upper-cases the text and marks where its characters start; an address without
// bytes above 127 (most of them) has no double-byte character and needs no marks.
void SearchText::assign(const CodePage& codePage, std::string_view text) {
    codePage_ = codePage;
    size_ = text.size();
    if (upper_.size() < size_ + kPadding) upper_.resize(size_ + kPadding);  // grows only: kept between addresses
    std::memset(upper_.data() + size_, 0, kPadding);
    boundaries_.clear();
    if (!copyUpperCasedAscii(text, upper_.data()) || !codePage.hasLeadBytes()) return;
    std::memcpy(upper_.data(), text.data(), size_);
    boundaries_.assign(size_, 0);
    const std::string_view original = text;
    for (std::size_t pos = 0; pos < size_;) {
        boundaries_[pos] = 1;
        const std::size_t length = codePage.charLength(original, pos);
        if (length == 1 && isAsciiLower(static_cast<unsigned char>(upper_[pos]))) upper_[pos] -= 'a' - 'A';
        pos += length;
    }
}

bool SearchText::contains(std::string_view upperNeedle) const {
    const std::string_view text = upper();
    for (std::size_t pos = text.find(upperNeedle); pos != std::string_view::npos;
         pos = text.find(upperNeedle, pos + 1)) {
        if (isBoundary(pos)) {
            return true;
        }
    }
    return false;
}

}  // namespace nimbrel
