// The black-list box's import of published ad-server lists, run from its menu command:
// a file past the size limit is refused, and the report counts what the box really took.
#include "filter/list_file_fixture.h"
#include "platform/error.h"
#include "ui/control_ids.h"
#include "ui/file_dialog_answerer.h"
#include "ui/main_window_fixture.h"

#include <commctrl.h>

namespace nimbrel::testing {
namespace {

constexpr LONGLONG kLimit = 64LL * 1024 * 1024;

// The bytes, then zeros up to the size: a sparse file, cheap however large.
void putSizedFile(const std::wstring& path, const std::string& start, LONGLONG size) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), start.data(), static_cast<DWORD>(start.size()), &written, nullptr));
    LARGE_INTEGER end{};
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
}

// An edit box that takes no more than `most` characters of any replacement, as one that
// runs out of memory does.
LRESULT CALLBACK takeLess(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR most) {
    if (message != EM_REPLACESEL) return DefSubclassProc(window, message, wParam, lParam);
    const std::wstring part = std::wstring(reinterpret_cast<const wchar_t*>(lParam)).substr(0, most);
    return DefSubclassProc(window, message, wParam, reinterpret_cast<LPARAM>(part.c_str()));
}

class AdServerImportTest : public MainWindowTest {
protected:
    void TearDown() override {
        DeleteFileW(list.c_str());
        MainWindowTest::TearDown();
    }
    HWND box() { return form->control(ids::Memo2); }
    std::wstring boxText() {
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(box())) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(box(), text.data(), static_cast<int>(text.size()))));
        return text;
    }
    // The import through its menu command: the message it showed, or the error it raised.
    std::wstring import() {
        MessageBoxAnswerer messages;
        const FileDialogAnswerer dialog(L"导入广告服务器列表", list);
        try {
            form->ImportAdServerList1Click();
        } catch (const Error& error) {
            return L"error: " + error.text();
        }
        return messages.texts();
    }

    const std::wstring list = listFilePath(L"ad-server-import.txt");
};

TEST_F(AdServerImportTest, AFileOverTheLimitIsRefusedAndOneAtTheLimitImported) {
    start();
    SetWindowTextW(box(), L"mine");
    putSizedFile(list, "0.0.0.0 big.test\r\n", kLimit + 1);
    EXPECT_EQ(import(), L"error: 文件过大, 未导入: " + list + L"\r广告服务器列表最大为 64 MB.");
    EXPECT_EQ(boxText(), L"mine");

    putSizedFile(list, "0.0.0.0 big.test\r\n", kLimit);
    EXPECT_EQ(import(), L"导入完成.\r新增: 1 行\r已在黑名单中: 0 行\r无法识别而跳过: 0 行|");
    EXPECT_EQ(boxText(), L"mine\r\n//BIG.TEST/\r\n");
}

// Whether the box stops at its limit or takes less for a reason of its own, the report
// counts the lines it holds, and a line cut short (which would block more than its host)
// is taken out again.
TEST_F(AdServerImportTest, WhatTheBoxDidNotTakeIsReportedAndNoLineIsLeftCut) {
    putFile(list, "0.0.0.0 aa.test bb.test cc.test dd.test ee.test\r\n");
    const std::wstring before = L"mine", separator = L"\r\n", line = L"//AA.TEST/\r\n";  // 12 characters a line
    const std::wstring cut = L"导入未完成, 黑名单已满.\r新增: 2 行\r未能加入: 3 行\r已在黑名单中: 0 行\r无法识别而跳过: 0 行|";
    const size_t room = separator.size() + 2 * line.size() + 5;  // two lines and part of a third
    start();
    for (const bool byLimit : {true, false}) {
        SCOPED_TRACE(byLimit ? "at the box's limit" : "a box that takes less");
        SetWindowTextW(box(), before.c_str());
        if (byLimit)
            SendMessageW(box(), EM_SETLIMITTEXT, before.size() + room, 0);
        else
            ASSERT_TRUE(SetWindowSubclass(box(), takeLess, 1, room));
        EXPECT_EQ(import(), cut);
        EXPECT_EQ(boxText(), L"mine\r\n//AA.TEST/\r\n//BB.TEST/\r\n");
        SendMessageW(box(), EM_SETLIMITTEXT, 0, 0);
        RemoveWindowSubclass(box(), takeLess, 1);
    }
}

}  // namespace
}  // namespace nimbrel::testing
