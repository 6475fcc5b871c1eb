// RAII owners of the COM value types the stand-in passes around.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace standin {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text)
      : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(value_); }

  BSTR get() const { return value_; }
  BSTR* out() {  // for calls that hand back a new string
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  BSTR detach() { return std::exchange(value_, nullptr); }
  std::wstring text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : L""; }

 private:
  BSTR value_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  static Variant string(const std::wstring& text) {
    Variant v;
    V_VT(&v.value_) = VT_BSTR;
    V_BSTR(&v.value_) = Bstr(text).detach();
    return v;
  }
  static Variant int32(LONG number) {
    Variant v;
    V_VT(&v.value_) = VT_I4;
    V_I4(&v.value_) = number;
    return v;
  }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }

 private:
  VARIANT value_;
};

}  // namespace standin
