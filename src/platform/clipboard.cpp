#include "platform/clipboard.h"

#include "platform/error.h"
#include "platform/raii.h"

#include <cstring>

namespace nimbrel {
namespace {

// The clipboard is open for the life of this object.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        if (!OpenClipboard(owner)) throw Error(L"Cannot open clipboard");
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() { CloseClipboard(); }
};

}  // namespace

void copyToClipboard(HWND owner, std::wstring_view text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) throw Error(L"Out of memory");
    void* data = GlobalLock(memory.get());
    if (!data) throw Error(L"Out of memory");
    std::memcpy(data, text.data(), text.size() * sizeof(wchar_t));
    static_cast<wchar_t*>(data)[text.size()] = L'\0';
    GlobalUnlock(memory.get());

    const OpenClipboardScope clipboard(owner);
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) throw Error(L"Cannot open clipboard");
    memory.release();  // the clipboard owns it now
}

}  // namespace nimbrel
