// Control placement at the system's DPI: positions are given at 96 dots per inch.
#pragma once

#include "platform/raii.h"

#include <windows.h>

namespace nimbrel {

class Scaler {
public:
    Scaler();
    int operator()(int pixels) const { return MulDiv(pixels, dpi_, 96); }
    int dpi() const { return dpi_; }

private:
    int dpi_;
};

struct Box {
    int left, top, width, height;
};

// 宋体 (SimSun) in the GB2312 character set, `pixels` high at 96 DPI.
FontHandle createSongFont(const Scaler& scale, int pixels, bool bold = false, bool underline = false);
FontHandle createFont(const Scaler& scale, const wchar_t* face, int pixels, BYTE charset, bool bold = false,
                      bool underline = false);

// Creates a child control at a box given at 96 DPI and gives it a font.
HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const Box& box, int id,
                   HFONT font, const Scaler& scale, DWORD exStyle = 0);

}  // namespace nimbrel
