// Event listeners for the browser and shell automation: plain IDispatch objects that the
// browser calls back, owned by the main window and living exactly as long as it does.
#pragma once

#include "platform/raii.h"

#include <exdisp.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

// The event's arguments in declaration order (argument 0 first), pointing into the
// caller's argument array so that writes through by-reference arguments reach the caller.
using EventArgs = std::vector<VARIANTARG*>;

class TSHDocVwEventsBaseSink : public IDispatch {
public:
    TSHDocVwEventsBaseSink(const IID& eventInterface, std::wstring componentName, std::wstring className);
    virtual ~TSHDocVwEventsBaseSink();
    TSHDocVwEventsBaseSink(const TSHDocVwEventsBaseSink&) = delete;
    TSHDocVwEventsBaseSink& operator=(const TSHDocVwEventsBaseSink&) = delete;

    // The listener's own subscription (used for the shell's collection). Throws
    // "Unable to connect %s.\r%s" when any step fails.
    void Connect(IUnknown* source);
    // Ends the listener's own subscription, if any; a failing Unadvise is ignored.
    void Disconnect();
    bool connected() const { return source_ != nullptr; }

    // IUnknown: the listener's life is its owner's, so references are not counted.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IDispatch: no type information or names, only incoming method calls.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;

protected:
    // Maps an event to its handler. Returns DISP_E_MEMBERNOTFOUND for identifiers that
    // are not events of the interface, S_OK for events without a bound handler.
    virtual HRESULT DispatchEvent(DISPID id, const EventArgs& args) = 0;

private:
    LONG cookie_ = 0;
    ComPtr<IConnectionPoint> connectionPoint_;
    IID eventInterface_;
    ComPtr<IUnknown> source_;
    std::wstring componentName_;
    std::wstring className_;
};

// Browser-window events, shared by every subscribed window.
class TSHDocVwDWebBrowserEvents2 : public TSHDocVwEventsBaseSink {
public:
    using BeforeNavigate2Handler =
        std::function<void(TSHDocVwDWebBrowserEvents2* sender, IDispatch* pDisp, VARIANT* url, VARIANT* flags,
                           VARIANT* targetFrameName, VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel)>;
    using NewWindow2Handler =
        std::function<void(TSHDocVwDWebBrowserEvents2* sender, ComPtr<IDispatch>& ppDisp, VARIANT_BOOL* cancel)>;
    using DocumentCompleteHandler =
        std::function<void(TSHDocVwDWebBrowserEvents2* sender, IDispatch* pDisp, VARIANT* url)>;

    explicit TSHDocVwDWebBrowserEvents2(std::wstring componentName);

    BeforeNavigate2Handler OnBeforeNavigate2;
    NewWindow2Handler OnNewWindow2;
    DocumentCompleteHandler OnDocumentComplete;

protected:
    HRESULT DispatchEvent(DISPID id, const EventArgs& args) override;

private:
    HRESULT beforeNavigate2(const EventArgs& args);
    HRESULT newWindow2(const EventArgs& args);
    HRESULT documentComplete(const EventArgs& args);
};

// Events of the shell's window collection.
class TSHDocVwDShellWindowsEvents : public TSHDocVwEventsBaseSink {
public:
    using WindowHandler = std::function<void(TSHDocVwDShellWindowsEvents* sender, LONG cookie)>;

    explicit TSHDocVwDShellWindowsEvents(std::wstring componentName);

    WindowHandler OnWindowRegistered;
    WindowHandler OnWindowRevoked;

protected:
    HRESULT DispatchEvent(DISPID id, const EventArgs& args) override;
};

}  // namespace nimbrel
