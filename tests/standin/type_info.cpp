#include "type_info.h"

#include <exdisp.h>

namespace standin {

using Microsoft::WRL::ComPtr;

namespace {

ComPtr<ITypeLib> load_shdocvw() {
  ComPtr<ITypeLib> library;
  if (SUCCEEDED(LoadRegTypeLib(LIBID_SHDocVw, 1, 1, LOCALE_NEUTRAL, &library))) return library;
  if (SUCCEEDED(LoadTypeLib(L"ieframe.dll", &library))) return library;
  return nullptr;
}

// GetTypeInfoOfGuid answers a dual interface with its dispinterface side; DispInvoke
// calls through the vtable and needs the interface side.
ComPtr<ITypeInfo> vtable_side(const ComPtr<ITypeInfo>& info) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return nullptr;
  const bool dual_dispatch =
      attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attributes);
  if (!dual_dispatch) return info;
  HREFTYPE interface_side = 0;
  ComPtr<ITypeInfo> result;
  if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &interface_side)) ||
      FAILED(info->GetRefTypeInfo(interface_side, &result)))
    return nullptr;
  return result;
}

}  // namespace

ComPtr<ITypeInfo> shdocvw_type_info(REFIID dual_interface) {
  const ComPtr<ITypeLib> library = load_shdocvw();
  ComPtr<ITypeInfo> info;
  if (!library || FAILED(library->GetTypeInfoOfGuid(dual_interface, &info))) return nullptr;
  return vtable_side(info);
}

}  // namespace standin
