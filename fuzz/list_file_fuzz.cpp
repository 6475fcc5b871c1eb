// A list file's bytes taken apart and put together again: the encoding is told by its
// mark (UTF-8 without one only when the bytes are well-formed UTF-8), no line keeps a line end of its encoding, and a file joined back with CR LF
// splits into the same lines once more.
#include "core/list_file_text.h"
#include "fuzz_input.h"

namespace {

using namespace nimbrel;
using fuzz::broken;

bool holdsLineEnd(const ListFileLines& file, const std::string& line) {
    if (file.encoding != ListEncoding::utf16le) return line.find_first_of("\r\n") != std::string::npos;
    for (size_t i = 0; i + 1 < line.size(); i += 2)
        if (line[i + 1] == '\0' && (line[i] == '\r' || line[i] == '\n')) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ListFileLines file = splitListFile(bytes);
    if (!bytes.starts_with(byteOrderMark(file.encoding))) broken("encoding without its mark");
    for (const std::string& line : file.lines)
        if (holdsLineEnd(file, line)) broken("a line end inside a line");
    const std::string joined = joinListFile(file);
    const ListFileLines again = splitListFile(joined);
    if (again.encoding != file.encoding || again.lines != file.lines || again.finalBreak != file.finalBreak)
        broken("a joined file splits differently");
    if (joinListFile(again) != joined) broken("joining is not stable");
    return 0;
}
