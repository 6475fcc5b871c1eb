// Program entry: COM for the main thread, the main window, the About window, the message loop.
#include "platform/raii.h"
#include "ui/about_form.h"
#include "ui/main_window.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    nimbrel::ComApartment apartment;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    {
        nimbrel::TTarnwickForm1 form;
        form.create();
        nimbrel::TAboutForm about;  // hidden until the strip's fourth picture shows it
        about.create(form.hwnd());
        form.AboutForm = &about;
        form.show();
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            // Tab, Enter and Esc work in every window of the program that holds controls.
            const HWND window = GetAncestor(message.hwnd, GA_ROOT);
            if (window && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
                IsDialogMessageW(window, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }  // the windows and the listeners go before COM does
    return 0;
}
