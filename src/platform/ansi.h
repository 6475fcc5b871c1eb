// Conversions between the platform's wide strings and the system's ANSI code page.
#pragma once

#include "core/ansi_text.h"

#include <string>
#include <string_view>

namespace nimbrel {

std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view text);
std::string toUtf8(std::wstring_view text);
// The same for any code page (CP_UTF8 for list files with that mark).
std::string toCodePage(unsigned codePage, std::wstring_view text);
std::wstring fromCodePage(unsigned codePage, std::string_view text);

// The lead bytes of the system's ANSI code page (GB2312 on the target systems).
CodePage systemCodePage();

}  // namespace nimbrel
