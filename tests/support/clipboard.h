// The clipboard's text, as a user would paste it.
#pragma once

#include <windows.h>

#include <string>

namespace test_support {

inline std::wstring clipboard_text() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"(clipboard busy)";
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

}  // namespace test_support
