#pragma once
// Address text: browser addresses held as ANSI (multibyte) text of the system code page.
// Every comparison upper-cases ASCII letters only and searches for substrings that start
// on a character boundary, so a trail byte that happens to equal a letter never matches.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// One inclusive range of DBCS lead-byte values, as the system reports them per code page.
struct LeadByteRange {
    unsigned char first = 0;
    unsigned char last = 0;
};

// Which bytes of a code page start a double-byte character.
class CodePage {
public:
    CodePage() = default;  // single-byte: no lead bytes
    explicit CodePage(std::span<const LeadByteRange> leadRanges);
    CodePage(std::initializer_list<LeadByteRange> leadRanges);

    // From the system's lead-byte table: pairs of first and last byte, ended by a zero pair.
    static CodePage fromLeadBytePairs(std::span<const unsigned char> pairs);
    static CodePage singleByte();
    static CodePage gb2312();  // code page 936: lead bytes 0x81 to 0xFE

    bool isLeadByte(unsigned char byte) const { return (lead_[byte / 64] >> (byte % 64) & 1) != 0; }
    bool hasLeadBytes() const { return hasLeadBytes_; }
    // Bytes taken by the character that starts at `pos` (1 or 2; 1 for a lead byte at the end).
    std::size_t charLength(std::string_view text, std::size_t pos) const;

private:
    std::array<std::uint64_t, 4> lead_{};  // one bit a byte value: cheap to copy with every address
    bool hasLeadBytes_ = false;
};

// Upper-cases a to z; both bytes of every double-byte character stay as they are.
std::string upperCase(const CodePage& codePage, std::string_view text);
void upperCaseInPlace(const CodePage& codePage, std::string& text);
void upperCaseInPlace(const CodePage& codePage, std::span<char> text);

// Position of the first occurrence of `needle` in `haystack` that starts on a character
// boundary of `haystack`, or npos. Letter case counts; an empty needle is found at 0.
// Only the start is checked: a needle of whole characters that starts on a boundary also
// ends on one. A needle that ends in half a character may match the first half of one.
std::size_t findAtBoundary(const CodePage& codePage, std::string_view haystack, std::string_view needle);
bool containsAtBoundary(const CodePage& codePage, std::string_view haystack, std::string_view needle);

// Both sides upper-cased by the code page, then searched at a character boundary.
bool containsIgnoringCase(const CodePage& codePage, std::string_view haystack, std::string_view needle);

// Removes bytes of code 0 to 32 (blanks and control characters) from both ends.
std::string_view trimBlanksAndControls(std::string_view text);

// An address prepared once for many searches: its upper-cased form and its character
// boundaries. Needles given to `contains` must already be upper-cased.
class SearchText {
public:
    SearchText() = default;  // an empty text, single-byte
    SearchText(const CodePage& codePage, std::string_view text) { assign(codePage, text); }

    // Prepares another address, reusing the storage of the last one.
    void assign(const CodePage& codePage, std::string_view text);

    std::string_view upper() const { return std::string_view(upper_.data(), size_); }
    // The upper-cased text is followed by this many zero bytes, so that a scan may read a
    // few bytes at once wherever it stands.
    static constexpr std::size_t kPadding = 8;
    bool contains(std::string_view upperNeedle) const;
    const CodePage& codePage() const { return codePage_; }
    // Whether a character of the upper-cased text starts at `pos`.
    bool isBoundary(std::size_t pos) const { return boundaries_.empty() || boundaries_[pos] != 0; }

private:
    CodePage codePage_;
    std::string upper_;  // the text, kPadding zero bytes, then whatever a longer text left
    std::size_t size_ = 0;
    std::vector<unsigned char> boundaries_;  // empty when every byte starts a character
};

}  // namespace nimbrel
