// The text of a list file and of its box: one pattern per line, lines ended by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// Every line end (CR LF, a lone CR or a lone LF) becomes CR LF; nothing else changes.
std::string normaliseLineEnds(std::string_view text);

// The lines of a box's text, split at CR LF. A final line break ends the last line
// rather than starting an empty one.
std::vector<std::string> splitLines(std::string_view text);

// The text after appending a line as the new last line of a box, as a list box's "add a
// line" does: after a line break the line and a break of its own; after a last line
// without one, a break and the line, so that no empty line is ever left behind.
std::string withLineAppended(std::string_view text, std::string_view line);
std::wstring withLineAppended(std::wstring_view text, std::wstring_view line);

}  // namespace nimbrel
