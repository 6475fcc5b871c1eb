// TAddFilterListForm: the dialog "添加过滤列表". The user names a list and gives its address
// or file, typed, browsed for, or filled from a drop-down of well-known public lists.
// Nothing is subscribed until "确定"; a source the manager refuses keeps the dialog open
// with the manager's reason.
#pragma once

#include "ui/flat_look.h"
#include "ui/layout.h"
#include "ui/panel.h"
#include "ui/window.h"

namespace nimbrel {

class FilterListManager;

class TAddFilterListForm : public Window {
public:
    static constexpr const wchar_t* kClassName = L"TAddFilterListForm";

    explicit TAddFilterListForm(FilterListManager& lists);
    ~TAddFilterListForm() override;

    // Shows the dialog over `owner`, which is disabled meanwhile; true when a list was added.
    bool ShowModal(HWND owner);

    void FormCreate();
    void ComboBox1Change();
    void Button1Click();  // 浏览...
    void Button2Click();  // 确定
    void Button3Click();  // 取消

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls();
    bool handleCommand(int id, int notification);
    void close(bool added);

    FilterListManager& lists_;
    Scaler scale_;
    FontHandle font_;
    Panel Panel1_;
    bool added_ = false;

public:
    TFlatLook FlatLook1;  // last: switched on when everything else exists, undone first
};

}  // namespace nimbrel
