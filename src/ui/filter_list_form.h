// TFilterListForm: the window "过滤列表", owned by the main window. It shows the filter
// lists of the manager, one row each with its on/off box, and adds, deletes and updates
// them. It never waits for a download: the manager reports each change, and the rows are
// shown anew then.
#pragma once

#include "ui/flat_look.h"
#include "ui/layout.h"
#include "ui/panel.h"
#include "ui/window.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

class FilterListManager;
struct FilterListRow;

// The texts of a row's four columns: name, rules, time of the last update, state.
std::vector<std::wstring> filterListColumns(const FilterListRow& row);
// A time of the manager's rows as the user's local date and time, "2026-12-08 14:05".
std::wstring localUpdateTime(std::int64_t unixSeconds);

class TFilterListForm : public Window {
public:
    static constexpr const wchar_t* kClassName = L"TFilterListForm";

    explicit TFilterListForm(FilterListManager& lists);
    ~TFilterListForm() override;

    // Creates the window on first use, owned by `owner`; shows it and brings it forward.
    void open(HWND owner);
    // The manager's rows have changed.
    void rowsChanged();

    void FormCreate();
    void ListView1ItemChecked(std::size_t row, bool checked);
    void ListView1SelectionChange();
    void Button1Click();  // 添加...
    void Button2Click();  // 删除
    void Button3Click();  // 立即更新
    void Button4Click();  // 关闭

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls();
    bool handleCommand(int id, int notification);
    void handleListNotification(const NMHDR& header);
    HWND listView() const;
    std::vector<std::size_t> selectedRows() const;

    FilterListManager& lists_;
    Scaler scale_;
    FontHandle font_;
    Panel Panel1_;
    bool showingRows_ = false;  // the boxes set while showing rows are not the user's

public:
    TFlatLook FlatLook1;  // last: switched on when everything else exists, undone first
};

}  // namespace nimbrel
