// The system's dialogs for choosing a file to read or to write.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace nimbrel {

// A file type filter: pairs of a caption and its patterns, each ended by a zero, the whole
// ended by another zero (as the dialogs take it).
struct FileDialogOptions {
    const wchar_t* title = nullptr;
    const wchar_t* filter = nullptr;
    const wchar_t* defaultExtension = nullptr;  // added to a typed name without one (save only)
    const wchar_t* fileName = L"";              // proposed name (save only)
};

// The chosen existing file's path, or nothing when the user cancels.
std::optional<std::wstring> chooseFileToOpen(HWND owner, const FileDialogOptions& options);
// The path to write, or nothing when the user cancels; replacing a file is confirmed first.
std::optional<std::wstring> chooseFileToSave(HWND owner, const FileDialogOptions& options);

}  // namespace nimbrel
