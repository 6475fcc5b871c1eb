// Conversions between UTF-8 and UTF-16 for texts read from files, and the decoding of a
// downloaded text whose encoding only its byte-order mark or its bytes tell.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8OfUtf16(std::u16string_view text);
// Nullopt when the bytes are not well-formed UTF-8 (overlong forms and surrogates included).
std::optional<std::u16string> utf16OfUtf8(std::string_view text);
bool isUtf8(std::string_view text);

// The text of a file as UTF-8: after a byte-order mark UTF-8 or UTF-16 (LE or BE, a last odd
// byte dropped); without one, UTF-8 when the bytes are well-formed UTF-8, else ANSI decoded by
// `ansiToUtf16` (kept as they are without it). `storage` keeps converted text; the result may
// point into `bytes` instead.
std::string_view utf8TextOf(std::string_view bytes, const std::function<std::u16string(std::string_view)>& ansiToUtf16,
                            std::string& storage);

}  // namespace nimbrel
