// Answers the program's file dialog from another thread: types a full path into its file
// name box and presses OK, as a user would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>

namespace nimbrel::testing {

class FileDialogAnswerer {
public:
    FileDialogAnswerer(std::wstring caption, std::wstring path)
        : caption_(std::move(caption)), path_(std::move(path)), thread_([this] { run(); }) {}
    ~FileDialogAnswerer() {
        stop_ = true;
        thread_.join();
    }
    FileDialogAnswerer(const FileDialogAnswerer&) = delete;
    FileDialogAnswerer& operator=(const FileDialogAnswerer&) = delete;

    bool answered() const { return answered_; }

private:
    void run() {
        while (!stop_ && !answered_) {
            // Shown only once it has filled its boxes, which would overwrite the path.
            HWND dialog = FindWindowW(L"#32770", caption_.c_str());
            if (dialog && IsWindowVisible(dialog)) {
                // The file name box: the edit box of the dialog's combo box cmb13.
                const auto name = reinterpret_cast<HWND>(SendMessageW(GetDlgItem(dialog, 0x47C), CBEM_GETEDITCONTROL, 0, 0));
                if (name && SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path_.c_str()))) {
                    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
                    answered_ = true;
                }
            }
            Sleep(10);
        }
    }

    std::wstring caption_;
    std::wstring path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

}  // namespace nimbrel::testing
