// A window bound to a C++ object: WM_NCCREATE stores the object in the window, and
// every later message goes to its member handler. An error that escapes a handler is
// reported to the user and the program goes on.
#pragma once

#include <windows.h>

namespace nimbrel {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }

protected:
    // Registers the class once per process with this trampoline as its window procedure.
    static void registerClass(const wchar_t* className, HICON icon, HBRUSH background, HCURSOR cursor = nullptr,
                              HICON smallIcon = nullptr);
    HWND createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x, int y,
                      int width, int height, HWND parent);
    // A window with a client area of the given size, centred on `centreOn` (on the screen
    // when there is none).
    HWND createCentred(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int clientWidth,
                       int clientHeight, HWND parent, HWND centreOn = nullptr);
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void destroy();
    // Runs a modal window's own message loop while modal_ is true; a WM_QUIT that arrives
    // meanwhile ends it and is posted again for the outer loop.
    void runModalLoop();

    bool modal_ = false;

private:
    static LRESULT CALLBACK trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace nimbrel
