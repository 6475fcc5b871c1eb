// The window that shows the filter lists, opened from the tray menu and from the exception
// page, and the manager's reports of change passed on to it.
#include "ui/filter_list_form.h"
#include "ui/main_window.h"

namespace nimbrel {

void TTarnwickForm1::FilterLists1Click() {
    restoreapplication();
    Button8Click();
}

void TTarnwickForm1::Button8Click() {
    if (!filterLists) return;
    if (!FilterListForm) FilterListForm = std::make_unique<TFilterListForm>(*filterLists);
    FilterListForm->open(hwnd());
}

// A hidden window is shown its rows when it is opened again.
void TTarnwickForm1::filterListsChanged() {
    if (FilterListForm && FilterListForm->hwnd() && IsWindowVisible(FilterListForm->hwnd()))
        FilterListForm->rowsChanged();
}

}  // namespace nimbrel
