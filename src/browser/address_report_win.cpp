#include "browser/address_report_win.h"

#include "browser/call_bound.h"
#include "browser/window_tracking.h"
#include "core/address_report.h"
#include "platform/ansi.h"
#include "platform/hresult_text.h"

#include <exdisp.h>

namespace nimbrel {
std::vector<std::string> openWindowAddresses() {
    const ComPtr<IShellWindows> windows = createShellWindows();
    const long count = windowCount(windows.Get());
    std::vector<std::string> addresses;
    for (long index = 0; index < count; ++index) {
        const ComPtr<IWebBrowser2> browser = requireBrowserAt(windows.Get(), index);
        if (!browser) continue;
        try {
            addresses.push_back(toAnsi(locationOf(browser.Get())));
        } catch (const CallError& error) {
            // A window that does not answer in time, or has gone, is left out of the report.
            if (outcomeOf(error.result()) == CallOutcome::answered) throw;
        }
    }
    return addresses;
}

std::string openAddressReport() {
    const std::vector<std::string> addresses = openWindowAddresses();
    return buildAddressReport(systemCodePage(), addresses);
}

}  // namespace nimbrel
