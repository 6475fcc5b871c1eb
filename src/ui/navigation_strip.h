// The main window's navigation strip `ImagePanel`: four picture buttons (`Image11` to
// `Image14`), each with its caption label (`Label1` to `Label4`) underneath. The strip
// only draws and reports; what a click or a hover means is the main window's business.
#pragma once

#include "ui/panel.h"

#include <array>
#include <functional>

namespace nimbrel {

// A picture with a hand-shaped cursor that reports mouse moves and clicks (a click is a
// left button press and release inside the picture).
class PictureButton : public Window {
public:
    void create(HWND parent, const Box& box, const Scaler& scale, int id, int bitmapResource);

    std::function<void()> onMouseMove;
    std::function<void()> onClick;

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void paint();
    void buttonUp(LPARAM position);

    BitmapHandle bitmap_;
    bool pressed_ = false;
};

class NavigationStrip : public Panel {
public:
    static constexpr int kButtons = 4;

    // How a caption is drawn: the current page red, the picture under the mouse blue
    // (both underlined), the others in the window-text colour; all bold.
    enum class Look { normal, current, hover };

    struct Handlers {
        std::function<void(int number)> pictureMouseMove;
        std::function<void(int number)> pictureClick;
        std::function<void()> backgroundMouseMove;
    };

    void create(HWND parent, const Scaler& scale, Handlers handlers);
    // Numbers run from 1 to 4; a look that is already shown is not drawn again.
    void setLook(int number, Look look);
    Look look(int number) const { return looks_.at(static_cast<size_t>(number - 1)); }

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int captionNumber(HWND label) const;

    Handlers handlers_;
    std::array<PictureButton, kButtons> pictures_;
    std::array<HWND, kButtons> labels_{};
    std::array<Look, kButtons> looks_{};
    FontHandle boldFont_;
    FontHandle underlinedFont_;
    BrushHandle white_;
};

}  // namespace nimbrel
