// TFlatControlHook: chained in front of one control's window procedure (as a common
// controls subclass) while its TFlatLook is active. It passes every message on first,
// then records hover, focus and press state and repaints the control flat.
#pragma once

#include "ui/flat_look.h"
#include "ui/flat_painters.h"

#include <windows.h>

#include <optional>

namespace nimbrel {

enum class ControlKind { edit, memo, button, checkBox, combo, panel, groupBox };

// The kind of a control as the flat look sees it, with its element of FlatControls;
// nothing for controls it leaves alone (labels, pictures, list views).
struct ControlClass {
    ControlKind kind;
    FlatControl element;
};
std::optional<ControlClass> flatControlClass(HWND control);
// The element of FlatContainers that a parent window is, if any.
std::optional<FlatContainer> flatContainerOf(HWND parent);
bool keepsOwnLook(HWND window);

class TFlatControlHook {
public:
    TFlatControlHook(HWND control, ControlKind kind, const TFlatLook& look);
    // Restores the control's procedure and, for edit boxes, its 3D border.
    ~TFlatControlHook();
    TFlatControlHook(const TFlatControlHook&) = delete;
    TFlatControlHook& operator=(const TFlatControlHook&) = delete;

    HWND control() const { return control_; }
    void repaint();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void record(UINT message, WPARAM wParam);
    void release();
    void setFrame(bool flat);

    HWND control_;
    ControlKind kind_;
    const TFlatLook& look_;
    ControlState state_;
    bool hadClientEdge_ = false;
    bool tracking_ = false;
    bool painting_ = false;
};

}  // namespace nimbrel
