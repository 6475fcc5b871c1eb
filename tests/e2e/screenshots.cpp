#include "e2e/screenshots.h"

#include "standin/child_process.h"

#include <array>
#include <cstdio>
#include <memory>

namespace e2e {
namespace {

// PNG needs CRC-32 on its chunks and a zlib stream; stored (uncompressed) deflate blocks
// keep the writer small, and the pictures are small enough for that.
std::uint32_t crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put_chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  put32(out, crc32(body.data(), body.size()));
}

std::vector<std::uint8_t> zlib_stored(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t length = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(length));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length));
    out.push_back(static_cast<std::uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
               raw.begin() + static_cast<std::ptrdiff_t>(pos + length));
    pos += length;
  } while (pos < raw.size());
  put32(out, adler32(raw));
  return out;
}

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};

}  // namespace

ScreenImage ScreenImage::capture(const RECT& area) {
  ScreenImage image;
  image.width_ = area.right - area.left;
  image.height_ = area.bottom - area.top;
  if (image.width_ <= 0 || image.height_ <= 0) return ScreenImage{};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width_, -image.height_, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(CreateCompatibleDC(screen));
  std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter> bitmap(
      CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && memory) {
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, image.width_, image.height_, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    image.pixels_.assign(source, source + static_cast<size_t>(image.width_) * static_cast<size_t>(image.height_));
    SelectObject(memory.get(), old);
  }
  ReleaseDC(nullptr, screen);
  if (image.pixels_.empty()) return ScreenImage{};
  for (std::uint32_t& pixel : image.pixels_) pixel &= 0xFFFFFF;
  return image;
}

COLORREF ScreenImage::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const std::uint32_t value = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

int ScreenImage::count(COLORREF colour) const {
  const std::uint32_t wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  int found = 0;
  for (std::uint32_t pixel : pixels_) found += pixel == wanted ? 1 : 0;
  return found;
}

bool ScreenImage::save_png(const std::wstring& path) const {
  if (pixels_.empty()) return false;
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<size_t>(height_) * (static_cast<size_t>(width_) * 3 + 1));
  for (int y = 0; y < height_; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width_; ++x) {
      const COLORREF colour = pixel(x, y);
      raw.push_back(GetRValue(colour));
      raw.push_back(GetGValue(colour));
      raw.push_back(GetBValue(colour));
    }
  }
  std::vector<std::uint8_t> header;
  put32(header, static_cast<std::uint32_t>(width_));
  put32(header, static_cast<std::uint32_t>(height_));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB
  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  put_chunk(png, "IHDR", header);
  put_chunk(png, "IDAT", zlib_stored(raw));
  put_chunk(png, "IEND", {});
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && written;
}

std::wstring screenshot_dir() {
  std::wstring dir;
  wchar_t configured[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"NIMBREL_SCREENSHOTS", configured, MAX_PATH) > 0)
    dir = configured;
  else
    dir = standin::beside_this_program(L"..\\screenshots");
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

bool keep_screenshot(const RECT& area, const std::wstring& name) {
  return ScreenImage::capture(area).save_png(screenshot_dir() + L"\\" + name);
}

}  // namespace e2e
