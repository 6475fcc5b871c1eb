#include "registration.h"

#include <exdisp.h>

namespace standin {

namespace {

const wchar_t kTreatAsKey[] = L"CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\TreatAs";

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(IUnknown* instance) : instance_(instance) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return instance_->QueryInterface(riid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 protected:
  void* find_interface(REFIID riid) override {
    return riid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
  }

 private:
  ComPtr<IUnknown> instance_;
};

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::wstring guid_text(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

ClassRegistration::ClassRegistration(REFCLSID clsid, IUnknown* class_object)
    : result_(CoRegisterClassObject(clsid, class_object, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie_)) {}

ClassRegistration::~ClassRegistration() {
  if (SUCCEEDED(result_)) CoRevokeClassObject(cookie_);
}

TreatAsRedirect::TreatAsRedirect(REFCLSID target) : target_(guid_text(target)) {
  RegistryKey key;
  result_ = RegCreateKeyExW(HKEY_CLASSES_ROOT, kTreatAsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            key.out(), nullptr);
  if (result_ != ERROR_SUCCESS) return;
  // The terminator counts, nothing after it may.
  const DWORD bytes = static_cast<DWORD>((target_.size() + 1) * sizeof(wchar_t));
  result_ = RegSetValueExW(key.get(), nullptr, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(target_.c_str()), bytes);
}

TreatAsRedirect::~TreatAsRedirect() {
  if (result_ != ERROR_SUCCESS) return;
  wchar_t current[64] = {};
  DWORD bytes = sizeof current - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, kTreatAsKey, nullptr, RRF_RT_REG_SZ, nullptr, current,
                   &bytes) == ERROR_SUCCESS &&
      target_ == current)
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kTreatAsKey);
}

ComPtr<IClassFactory> make_class_factory(IUnknown* instance) {
  return make_com<ClassFactory>(instance);
}

}  // namespace standin
