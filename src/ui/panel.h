// A plain container with an optional bevel. Notifications of the controls it holds go
// on to the top-level window, which handles every control of the program.
#pragma once

#include "ui/layout.h"
#include "ui/window.h"

namespace nimbrel {

class Panel : public Window {
public:
    enum class Bevel { none, raised, lowered, loweredDouble };

    void create(HWND parent, const Box& box, const Scaler& scale, Bevel bevel, COLORREF background, int id = 0);
    void bringToFront();
    Bevel bevel() const { return bevel_; }
    COLORREF color() const { return color_; }
    // The panel behind a window of the panel class, or nullptr for any other window.
    static const Panel* fromWindow(HWND window);

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void paint();

    Bevel bevel_ = Bevel::none;
    BrushHandle background_;
    COLORREF color_ = 0;
};

}  // namespace nimbrel
