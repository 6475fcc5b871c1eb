#include "browser/address_report_win.h"

#include "browser/window_tracking.h"
#include "core/address_report.h"
#include "platform/ansi.h"
#include "platform/error.h"
#include "platform/hresult_text.h"

#include <exdisp.h>

namespace nimbrel {
namespace {

void throwIfFailed(HRESULT result) {
    if (FAILED(result)) throw Error(hresultText(result));
}

}  // namespace

std::vector<std::string> openWindowAddresses() {
    const ComPtr<IShellWindows> windows = createShellWindows();
    const long count = windowCount(windows.Get());
    std::vector<std::string> addresses;
    for (long index = 0; index < count; ++index) {
        Variant at(index);
        ComPtr<IDispatch> window;
        throwIfFailed(windows->Item(*at.get(), &window));
        if (!window) continue;
        ComPtr<IWebBrowser2> browser;
        throwIfFailed(window.As(&browser));
        Bstr address;
        throwIfFailed(browser->get_LocationURL(address.put()));
        addresses.push_back(toAnsi(address.str()));
    }
    return addresses;
}

std::string openAddressReport() {
    const std::vector<std::string> addresses = openWindowAddresses();
    return buildAddressReport(systemCodePage(), addresses);
}

}  // namespace nimbrel
