// Owners for the handles the program holds: each closes its handle exactly once,
// can be moved but never copied.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <string_view>
#include <utility>

namespace nimbrel {

using Microsoft::WRL::ComPtr;

// A handle with a close function and an "empty" value.
template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::empty(); }
    Handle release() { return std::exchange(handle_, Traits::empty()); }
    void reset(Handle h = Traits::empty()) {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::empty()) Traits::close(old);
    }
    // For APIs that return the handle through an out pointer.
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::empty();
};

struct KernelHandleTraits {
    static HANDLE empty() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FileTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
    static HKEY empty() { return nullptr; }
    static void close(HKEY k) { RegCloseKey(k); }
};
struct WindowTraits {
    static HWND empty() { return nullptr; }
    static void close(HWND w) { DestroyWindow(w); }
};
struct MenuTraits {
    static HMENU empty() { return nullptr; }
    static void close(HMENU m) { DestroyMenu(m); }
};
template <typename Gdi>
struct GdiTraits {
    static Gdi empty() { return nullptr; }
    static void close(Gdi g) { DeleteObject(g); }
};
struct GlobalMemoryTraits {
    static HGLOBAL empty() { return nullptr; }
    static void close(HGLOBAL g) { GlobalFree(g); }
};
struct IconTraits {
    static HICON empty() { return nullptr; }
    static void close(HICON i) { DestroyIcon(i); }
};

using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using FileHandle = UniqueHandle<HANDLE, FileTraits>;  // CreateFile's failure is INVALID_HANDLE_VALUE
using RegKey = UniqueHandle<HKEY, RegKeyTraits>;
using WindowHandle = UniqueHandle<HWND, WindowTraits>;
using MenuHandle = UniqueHandle<HMENU, MenuTraits>;
using FontHandle = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using BrushHandle = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using PenHandle = UniqueHandle<HPEN, GdiTraits<HPEN>>;
using BitmapHandle = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using IconHandle = UniqueHandle<HICON, IconTraits>;
using GlobalMemory = UniqueHandle<HGLOBAL, GlobalMemoryTraits>;

// A BSTR owned by this object.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text)
        : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(bstr_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(bstr_);
            bstr_ = std::exchange(other.bstr_, nullptr);
        }
        return *this;
    }

    BSTR get() const { return bstr_; }
    BSTR* put() {
        SysFreeString(std::exchange(bstr_, nullptr));
        return &bstr_;
    }
    std::wstring str() const { return bstr_ ? std::wstring(bstr_, SysStringLen(bstr_)) : std::wstring(); }

private:
    BSTR bstr_ = nullptr;
};

// A VARIANT cleared when it goes.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    explicit Variant(LONG value) {
        VariantInit(&v_);
        v_.vt = VT_I4;
        v_.lVal = value;
    }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept {
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            VariantClear(&v_);
            v_ = other.v_;
            VariantInit(&other.v_);
        }
        return *this;
    }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* put() {
        VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// CoInitialize for the current thread as a single-threaded apartment, undone on scope exit.
class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (ok_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_;
};

}  // namespace nimbrel
