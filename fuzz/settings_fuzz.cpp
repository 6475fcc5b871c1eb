// Settings as stored texts, normalised as the program reads them: a level always ends up
// one of the five, and reading what was written changes nothing.
#include "core/settings_rules.h"
#include "fuzz_input.h"

using namespace nimbrel;
using fuzz::broken;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring stored;
    for (size_t i = 0; i + 1 < size; i += 2) stored += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));

    const std::wstring loaded = loadedLevel(stored);
    if (stored.empty() ? loaded != kDefaultLevel : loaded != stored) broken("a stored level changed on loading");
    const int level = levelIndex(loaded);
    if (level < 0 || level >= kLevelCount) broken("a level out of range");
    const std::wstring written = levelText(level);
    if (levelIndex(written) != level || loadedLevel(written) != written) broken("a written level reads differently");
    if ((stored == L"0" || stored == L"2" || stored == L"3" || stored == L"4") != (written == stored && level != 1))
        broken("a valid level was not kept");
    if (isOn(stored) != (stored == L"1") || isOn(flagText(isOn(stored))) != isOn(stored)) broken("a flag misread");
    return 0;
}
