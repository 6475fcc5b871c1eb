// Makes CoCreateInstance(CLSID_ShellWindows) reach the stand-in: its class object is
// registered under a fresh CLSID of its own, and CLSID_ShellWindows is treated as that.
#pragma once

#include "com_object.h"

#include <string>

namespace standin {

// Registers a class object for CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE; revoked when destroyed.
class ClassRegistration {
 public:
  ClassRegistration(REFCLSID clsid, IUnknown* class_object);
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;
  ~ClassRegistration();
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
  DWORD cookie_ = 0;
};

// Writes HKCR\CLSID\{ShellWindows}\TreatAs = target while alive. A TreatAs value is
// honoured only when it is exactly a 38-character GUID string.
class TreatAsRedirect {
 public:
  explicit TreatAsRedirect(REFCLSID target);
  TreatAsRedirect(const TreatAsRedirect&) = delete;
  TreatAsRedirect& operator=(const TreatAsRedirect&) = delete;
  // Removes the redirection, unless another stand-in has replaced it meanwhile.
  ~TreatAsRedirect();
  LSTATUS result() const { return result_; }

 private:
  std::wstring target_;
  LSTATUS result_;
};

// A class object that hands out the one collection object.
ComPtr<IClassFactory> make_class_factory(IUnknown* instance);

std::wstring guid_text(REFGUID guid);

}  // namespace standin
