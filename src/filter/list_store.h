// The white and black lists' files as the main window's boxes show them: where each is
// kept, how it was written (so that a save writes it back the same way), and whether its
// box can show it exactly. The window hands over and takes back the boxes' texts only.
#pragma once

#include "filter/list_files.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace nimbrel {

class ListStore {
public:
    static constexpr std::array<const wchar_t*, 2> kFiles{kWhiteListFile, kBlackListFile};
    // White, then black: each box's text.
    using Texts = std::array<std::wstring, 2>;

    // The text each box is to show; nothing for a file that does not exist (its box keeps
    // what it holds). A file that cannot be read throws "Cannot open file %s".
    std::array<std::optional<std::wstring>, 2> load();

    // Writes both boxes' texts, but only after both files were found writable, so that a
    // save is never half done ("Cannot create file %s"). A file its box cannot show exactly
    // is rewritten only when the user changed its box; otherwise it is left as it was and
    // `kept` is told its path.
    void save(const Texts& texts, const std::function<void(const std::wstring& path)>& kept);

private:
    std::array<ListFile, 2> files_;  // as they were read
};

}  // namespace nimbrel
