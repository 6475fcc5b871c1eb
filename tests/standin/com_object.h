// Reference counting and interface lookup shared by every COM object of the stand-in.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>
#include <utility>

namespace standin {

using Microsoft::WRL::ComPtr;

// Implements IUnknown once for all the interfaces an object derives from: a member
// of this class overrides the IUnknown members of every base at the same time.
template <class First, class... Others>
class ComObject : public First, public Others... {
 public:
  ComObject() = default;
  // Arguments for the first base, for bases that need them.
  template <class... Args>
  explicit ComObject(Args&&... args) : First(std::forward<Args>(args)...) {}
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() = default;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    *out = riid == IID_IUnknown ? identity() : find_interface(riid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  // The count as it stands, for telling whether others still hold the object.
  ULONG references() const { return references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) std::unique_ptr<ComObject> last_reference(this);
    return left;
  }

 protected:
  // The interface pointer for riid other than IUnknown, or nullptr. Not AddRef'ed.
  virtual void* find_interface(REFIID riid) = 0;

 private:
  // The first base stands for the object's identity.
  void* identity() { return static_cast<IUnknown*>(static_cast<First*>(this)); }
  std::atomic<ULONG> references_{1};
};

// Creates a COM object holding its first reference.
template <class T, class... Args>
ComPtr<T> make_com(Args&&... args) {
  // Not ComPtr::Attach: mingw-w64's adds a reference (Microsoft's does not), and the
  // object would never go.
  T* const created = std::make_unique<T>(std::forward<Args>(args)...).release();
  ComPtr<T> object(created);
  created->Release();
  return object;
}

}  // namespace standin
