// The main window created in the test process, with the test shell's window collection
// standing in for the shell's (registered in this process, reached through TreatAs).
#pragma once

#include "app/registry_fixture.h"
#include "ui/main_window.h"

#include "standin/registration.h"
#include "standin/window_collection.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace nimbrel::testing {

// Pumps the thread's messages for a while, so that timers and posted messages run.
inline void pumpMessages(DWORD milliseconds = 50) {
    const DWORD end = GetTickCount() + milliseconds;
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;  // the main window's close ends the loop
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    } while (GetTickCount() < end);
}

// Closes the tool-tip windows of this thread.
inline void closeToolTips() {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, L"tooltips_class32") == 0) DestroyWindow(window);
            return TRUE;
        },
        0);
}

// Answers the program's message boxes from another thread and records their texts.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : thread_([this] { run(); }) {}
    ~MessageBoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::wstring texts() {
        std::lock_guard lock(mutex_);
        return texts_;
    }

private:
    void run() {
        while (!stop_) {
            if (HWND box = FindWindowW(L"#32770", L"Quellix (Nimbrel)")) {
                wchar_t text[512] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 512);
                {
                    std::lock_guard lock(mutex_);
                    texts_ += text;
                    texts_ += L"|";
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                while (IsWindow(box) && !stop_) Sleep(5);
            }
            Sleep(10);
        }
    }
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::wstring texts_;
    std::thread thread_;
};

// A fresh stand-in collection for each test, reachable as CLSID_ShellWindows.
class TestShell {
public:
    TestShell() {
        CoCreateGuid(&clsid_);
        collection_ = standin::make_com<standin::WindowCollection>();
        factory_ = standin::make_class_factory(static_cast<IShellWindows*>(collection_.Get()));
        registration_.emplace(clsid_, factory_.Get());
        treatAs_.emplace(clsid_);
    }
    ~TestShell() {
        treatAs_.reset();
        registration_.reset();
        collection_->close_all();
    }
    standin::WindowCollection& collection() { return *collection_.Get(); }
    LONG addFake(const wchar_t* url, int toolbar = 1, bool offersEvents = true) {
        auto window = standin::make_com<standin::FakeWindow>(url, toolbar, offersEvents);
        ComPtr<IDispatch> dispatch;
        window.As(&dispatch);
        return collection_->add(dispatch, window.Get());
    }

private:
    CLSID clsid_{};
    ComPtr<standin::WindowCollection> collection_;
    ComPtr<IClassFactory> factory_;
    std::optional<standin::ClassRegistration> registration_;
    std::optional<standin::TreatAsRedirect> treatAs_;
};

class MainWindowTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        shell = std::make_unique<TestShell>();
    }
    void TearDown() override {
        form.reset();
        pumpMessages(10);
        shell.reset();
        CoUninitialize();
        RegistryTest::TearDown();
    }
    TTarnwickForm1& start() {
        form = std::make_unique<TTarnwickForm1>();
        form->create();
        return *form;
    }
    void closeForm() {
        SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
        pumpMessages(10);
    }
    bool checked(int id) { return SendMessageW(form->control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void check(int id, bool on) {
        SendMessageW(form->control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    int comboSelection() {
        return static_cast<int>(SendMessageW(form->control(ids::SensitivityComboBox), CB_GETCURSEL, 0, 0));
    }
    std::wstring text(int id) {
        wchar_t buffer[256] = {};
        GetWindowTextW(form->control(id), buffer, 256);
        return buffer;
    }
    // A cell of the block log.
    std::wstring logCell(int row, int column) {
        wchar_t text[512] = {};
        LVITEMW item{.iSubItem = column, .pszText = text, .cchTextMax = 512};
        SendMessageW(form->control(ids::ListView1), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }
    bool levelItemChecked(int item) {
        return (GetMenuState(form->trayMenu(), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    std::unique_ptr<TestShell> shell;
    std::unique_ptr<TTarnwickForm1> form;
};

}  // namespace nimbrel::testing
