#include "filter/list_store.h"

#include "filter/list_location.h"
#include "platform/safe_file.h"

namespace nimbrel {

std::array<std::optional<std::wstring>, 2> ListStore::load() {
    std::array<std::optional<std::wstring>, 2> texts;
    for (size_t i = 0; i < kFiles.size(); ++i) {
        auto file = readListFile(listReadPath(kFiles[i]));
        if (file) texts[i] = file->text;
        files_[i] = file ? std::move(*file) : ListFile{};
    }
    return texts;
}

void ListStore::save(const Texts& texts, const std::function<void(const std::wstring& path)>& kept) {
    std::array<bool, 2> writes{};
    std::array<std::wstring, 2> paths;
    for (size_t i = 0; i < kFiles.size(); ++i) {
        writes[i] = files_[i].faithful || texts[i] != files_[i].text;
        paths[i] = listWritePath(kFiles[i]);
        if (writes[i]) checkFileWritable(paths[i]);
    }
    for (size_t i = 0; i < kFiles.size(); ++i) {
        if (writes[i])
            writeListFile(paths[i], texts[i], files_[i].encoding);
        else
            kept(paths[i]);
    }
}

}  // namespace nimbrel
