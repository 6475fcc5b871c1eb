// IDispatch answered through the SHDocVw type information, so that late-bound
// callers (and the type-library marshaller) see the same members as Windows offers.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

namespace standin {

// The vtable-side type information of a dual SHDocVw interface; null if the
// type library is missing from the prefix.
Microsoft::WRL::ComPtr<ITypeInfo> shdocvw_type_info(REFIID dual_interface);

// Implements the IDispatch members of Interface (a dual SHDocVw interface) with DispInvoke.
template <class Interface>
class TypeInfoDispatch : public Interface {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = info() ? 1 : 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!info()) return E_NOTIMPL;
    return info().CopyTo(out);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!info()) return E_NOTIMPL;
    return DispGetIDsOfNames(info().Get(), names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* arg_error) override {
    if (!info()) return E_NOTIMPL;
    return DispInvoke(static_cast<Interface*>(this), info().Get(), member, flags, params, result,
                      exception, arg_error);
  }

 private:
  static const Microsoft::WRL::ComPtr<ITypeInfo>& info() {
    static const Microsoft::WRL::ComPtr<ITypeInfo> loaded = shdocvw_type_info(__uuidof(Interface));
    return loaded;
  }
};

}  // namespace standin
