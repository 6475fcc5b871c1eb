#include "ui/web_link.h"

#include <windows.h>
#include <shellapi.h>

namespace nimbrel {

void openWebLink(const wchar_t* address) {
    ShellExecuteW(nullptr, L"open", L"IEXPLORE.EXE", address, nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace nimbrel
