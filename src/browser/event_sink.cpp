#include "browser/event_sink.h"

#include "core/messages.h"
#include "platform/error.h"
#include "platform/hresult_text.h"

#include <algorithm>
#include <utility>

namespace nimbrel {
namespace {

constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNewWindow2 = 251;
constexpr DISPID kDocumentComplete = 259;
constexpr DISPID kWindowRegistered = 200;
constexpr DISPID kWindowRevoked = 201;

// A failed event call that carries its text back to the caller.
struct EventFailure {
    HRESULT result;
};

bool isBrowserEvent(DISPID id) {
    return id == 102 || (id >= 104 && id <= 106) || id == 108 || id == 112 || id == 113 ||
           (id >= 225 && id <= 227) || (id >= 250 && id <= 260) || (id >= 262 && id <= 272);
}

// Puts the arguments into declaration order: argument k is element cArgs-1-k, unless
// the j-th named argument carries identifier k, in which case element j is used.
EventArgs argumentsInOrder(DISPPARAMS* params) {
    const UINT count = params ? params->cArgs : 0;
    EventArgs args(count);
    for (UINT k = 0; k < count; ++k) args[k] = &params->rgvarg[count - 1 - k];
    for (UINT j = 0; j < (params ? params->cNamedArgs : 0); ++j) {
        const DISPID k = params->rgdispidNamedArgs[j];
        if (k >= 0 && static_cast<UINT>(k) < count) args[k] = &params->rgvarg[j];
    }
    return args;
}

void requireCount(const EventArgs& args, size_t count) {
    if (args.size() < count) throw EventFailure{DISP_E_BADPARAMCOUNT};
}

IDispatch* objectArgument(VARIANTARG* arg) {
    switch (arg->vt) {
    case VT_DISPATCH: return arg->pdispVal;
    case VT_UNKNOWN: return reinterpret_cast<IDispatch*>(arg->punkVal);  // only compared or queried
    case VT_BYREF | VT_DISPATCH: return arg->ppdispVal ? *arg->ppdispVal : nullptr;
    case VT_BYREF | VT_VARIANT: return arg->pvarVal ? objectArgument(arg->pvarVal) : nullptr;
    case VT_EMPTY:
    case VT_NULL: return nullptr;
    default: throw EventFailure{DISP_E_TYPEMISMATCH};
    }
}

// By-reference variants are handed on as the variant they point to.
VARIANT* variantArgument(VARIANTARG* arg) {
    if (arg->vt == (VT_BYREF | VT_VARIANT) && arg->pvarVal) return arg->pvarVal;
    return arg;
}

VARIANT_BOOL* boolArgument(VARIANTARG* arg) {
    if (arg->vt == (VT_BYREF | VT_BOOL) && arg->pboolVal) return arg->pboolVal;
    if (arg->vt == VT_BOOL) return &arg->boolVal;
    if (arg->vt == (VT_BYREF | VT_VARIANT) && arg->pvarVal && arg->pvarVal->vt == VT_BOOL)
        return &arg->pvarVal->boolVal;
    throw EventFailure{DISP_E_TYPEMISMATCH};
}

IDispatch** dispatchReference(VARIANTARG* arg) {
    if (arg->vt == (VT_BYREF | VT_DISPATCH) && arg->ppdispVal) return arg->ppdispVal;
    if (arg->vt == (VT_BYREF | VT_VARIANT) && arg->pvarVal &&
        (arg->pvarVal->vt == VT_DISPATCH || arg->pvarVal->vt == VT_EMPTY)) {
        // An empty variant holds no object: whatever its pointer field holds is not one.
        if (arg->pvarVal->vt == VT_EMPTY) arg->pvarVal->pdispVal = nullptr;
        arg->pvarVal->vt = VT_DISPATCH;
        return &arg->pvarVal->pdispVal;
    }
    if (arg->vt == VT_DISPATCH) return &arg->pdispVal;
    throw EventFailure{DISP_E_TYPEMISMATCH};
}

LONG integerArgument(VARIANTARG* arg) {
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), arg, 0, VT_I4))) throw EventFailure{DISP_E_TYPEMISMATCH};
    return converted.get()->lVal;
}

HRESULT reportFailure(EXCEPINFO* exception, const std::wstring& source, const std::wstring& text) {
    if (!exception) return E_FAIL;
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(source.c_str());
    exception->bstrDescription = SysAllocString(text.c_str());
    exception->scode = E_FAIL;
    return DISP_E_EXCEPTION;
}

}  // namespace

TSHDocVwEventsBaseSink::TSHDocVwEventsBaseSink(const IID& eventInterface, std::wstring componentName,
                                               std::wstring className)
    : eventInterface_(eventInterface), componentName_(std::move(componentName)), className_(std::move(className)) {}

TSHDocVwEventsBaseSink::~TSHDocVwEventsBaseSink() { Disconnect(); }

void TSHDocVwEventsBaseSink::Connect(IUnknown* source) {
    Disconnect();
    auto fail = [&](HRESULT result) {
        throw Error(formatMessage(L"Unable to connect %s.\r%s", {componentName_, hresultText(result)}));
    };
    if (!source) fail(E_POINTER);
    ComPtr<IConnectionPointContainer> container;
    HRESULT result = source->QueryInterface(IID_PPV_ARGS(&container));
    if (FAILED(result)) fail(result);
    ComPtr<IConnectionPoint> point;
    result = container->FindConnectionPoint(eventInterface_, &point);
    if (FAILED(result)) fail(result);
    DWORD cookie = 0;
    result = point->Advise(static_cast<IDispatch*>(this), &cookie);
    if (FAILED(result)) fail(result);
    connectionPoint_ = std::move(point);
    cookie_ = static_cast<LONG>(cookie);
    source_ = source;
}

void TSHDocVwEventsBaseSink::Disconnect() {
    if (!source_) return;
    if (connectionPoint_) connectionPoint_->Unadvise(static_cast<DWORD>(cookie_));
    connectionPoint_.Reset();
    source_.Reset();
}

HRESULT TSHDocVwEventsBaseSink::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, eventInterface_)) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT TSHDocVwEventsBaseSink::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return E_NOTIMPL;
}

HRESULT TSHDocVwEventsBaseSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                                       EXCEPINFO* exception, UINT*) {
    if (!(flags & DISPATCH_METHOD))
        return reportFailure(exception, className_,
                             formatMessage(L"%s only supports sinking of method calls!", {className_}));
    try {
        return DispatchEvent(id, argumentsInOrder(params));
    } catch (const EventFailure& failure) {
        return failure.result;
    } catch (const Error& error) {
        return reportFailure(exception, className_, error.text());
    } catch (...) {
        return E_UNEXPECTED;
    }
}

TSHDocVwDWebBrowserEvents2::TSHDocVwDWebBrowserEvents2(std::wstring componentName)
    : TSHDocVwEventsBaseSink(DIID_DWebBrowserEvents2, std::move(componentName), L"TSHDocVwDWebBrowserEvents2") {}

HRESULT TSHDocVwDWebBrowserEvents2::DispatchEvent(DISPID id, const EventArgs& args) {
    switch (id) {
    case kBeforeNavigate2: return beforeNavigate2(args);
    case kNewWindow2: return newWindow2(args);
    case kDocumentComplete: return documentComplete(args);
    default: return isBrowserEvent(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT TSHDocVwDWebBrowserEvents2::beforeNavigate2(const EventArgs& args) {
    if (!OnBeforeNavigate2) return S_OK;
    requireCount(args, 7);
    OnBeforeNavigate2(this, objectArgument(args[0]), variantArgument(args[1]), variantArgument(args[2]),
                      variantArgument(args[3]), variantArgument(args[4]), variantArgument(args[5]),
                      boolArgument(args[6]));
    return S_OK;
}

// The handler works on a local copy of the new window's object, which is stored back
// into the caller's reference afterwards.
HRESULT TSHDocVwDWebBrowserEvents2::newWindow2(const EventArgs& args) {
    if (!OnNewWindow2) return S_OK;
    requireCount(args, 2);
    IDispatch** callerReference = dispatchReference(args[0]);
    VARIANT_BOOL* cancel = boolArgument(args[1]);
    ComPtr<IDispatch> local;
    if (*callerReference) (*callerReference)->QueryInterface(IID_PPV_ARGS(&local));
    OnNewWindow2(this, local, cancel);
    if (*callerReference) (*callerReference)->Release();
    *callerReference = local.Detach();
    return S_OK;
}

HRESULT TSHDocVwDWebBrowserEvents2::documentComplete(const EventArgs& args) {
    if (!OnDocumentComplete) return S_OK;
    requireCount(args, 2);
    OnDocumentComplete(this, objectArgument(args[0]), variantArgument(args[1]));
    return S_OK;
}

TSHDocVwDShellWindowsEvents::TSHDocVwDShellWindowsEvents(std::wstring componentName)
    : TSHDocVwEventsBaseSink(DIID_DShellWindowsEvents, std::move(componentName), L"TSHDocVwDShellWindowsEvents") {}

HRESULT TSHDocVwDShellWindowsEvents::DispatchEvent(DISPID id, const EventArgs& args) {
    const WindowHandler* handler = nullptr;
    switch (id) {
    case kWindowRegistered: handler = &OnWindowRegistered; break;
    case kWindowRevoked: handler = &OnWindowRevoked; break;
    default: return DISP_E_MEMBERNOTFOUND;
    }
    if (!*handler) return S_OK;
    requireCount(args, 1);
    (*handler)(this, integerArgument(args[0]));
    return S_OK;
}

}  // namespace nimbrel
