// A window-message timer that fires once: enabled by whoever wants the action, disabled
// by its own first tick. Enabling a timer that is already running keeps its schedule.
#pragma once

#include "ui/control_ids.h"

#include <windows.h>

namespace nimbrel {

class OneShotTimer {
public:
    OneShotTimer(int id, UINT interval) : id_(id), interval_(interval) {}

    void attach(HWND owner) { owner_ = owner; }
    void enable() {
        if (running_ || !owner_) return;
        running_ = SetTimer(owner_, id_, interval_, nullptr) != 0;
    }
    void disable() {
        if (running_ && owner_) KillTimer(owner_, id_);
        running_ = false;
    }
    bool running() const { return running_; }
    int id() const { return id_; }

private:
    HWND owner_ = nullptr;
    int id_;
    UINT interval_;
    bool running_ = false;
};

}  // namespace nimbrel
