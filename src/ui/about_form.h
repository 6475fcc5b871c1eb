// TAboutForm: the About window. Created once, hidden, at program entry; the navigation
// strip's fourth picture shows it modally. It reads the browser's version once, when
// it is created.
#pragma once

#include "ui/flat_look.h"
#include "ui/layout.h"
#include "ui/panel.h"
#include "ui/window.h"

#include <string>

namespace nimbrel {

// The browser line's text before (and unless) the browser's version is known.
inline constexpr const wchar_t* kDesignBrowserLine = L"Internet Explorer 版本: 6.0.2600.0000";

// A string value under HKEY_LOCAL_MACHINE, read with read access only: a key that does not
// exist stays absent. A missing key or value reads as an empty text; a value that is not a
// string throws "Invalid data type for '%s'".
std::wstring readMachineStringReadOnly(const wchar_t* keyPath, const wchar_t* valueName);

class TAboutForm : public Window {
public:
    static constexpr const wchar_t* kClassName = L"TAboutForm";

    TAboutForm();
    ~TAboutForm() override;

    // Creates the window hidden, owned by `owner`; its creation reads the browser version.
    void create(HWND owner);
    // Shows the window and returns when it has been closed; the owner is disabled meanwhile.
    void ShowModal();

    void FormCreate();
    void Label5Click();
    void Button1Click();

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls();
    void paintPicture(HDC dc) const;
    bool handleCommand(int id, int notification);

    Scaler scale_;
    FontHandle font_;
    FontHandle chineseFont_;
    FontHandle titleFont_;
    FontHandle linkFont_;
    BitmapHandle picture_;
    Panel Panel1_;
    HWND owner_ = nullptr;

public:
    TFlatLook FlatLook1;  // last: switched on when everything else exists, undone first
};

}  // namespace nimbrel
