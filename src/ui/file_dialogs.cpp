#include "ui/file_dialogs.h"

#include "platform/error.h"

#include <commdlg.h>

#include <vector>

namespace nimbrel {
namespace {

using Dialog = BOOL(WINAPI*)(OPENFILENAMEW*);

std::optional<std::wstring> runDialog(Dialog dialog, HWND owner, const FileDialogOptions& options, DWORD flags) {
    std::vector<wchar_t> path(32768, L'\0');
    std::wstring(options.fileName).copy(path.data(), path.size() - 1);
    OPENFILENAMEW dialogData{};
    dialogData.lStructSize = sizeof(dialogData);
    dialogData.hwndOwner = owner;
    dialogData.lpstrFilter = options.filter;
    dialogData.nFilterIndex = 1;
    dialogData.lpstrFile = path.data();
    dialogData.nMaxFile = static_cast<DWORD>(path.size());
    dialogData.lpstrTitle = options.title;
    dialogData.lpstrDefExt = options.defaultExtension;
    dialogData.Flags = flags | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (dialog(&dialogData)) return std::wstring(path.data());
    if (CommDlgExtendedError() != 0) throw Error(L"Cannot show the file dialog");
    return std::nullopt;  // cancelled
}

}  // namespace

std::optional<std::wstring> chooseFileToOpen(HWND owner, const FileDialogOptions& options) {
    return runDialog(GetOpenFileNameW, owner, options, OFN_FILEMUSTEXIST);
}

std::optional<std::wstring> chooseFileToSave(HWND owner, const FileDialogOptions& options) {
    return runDialog(GetSaveFileNameW, owner, options, OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN);
}

}  // namespace nimbrel
