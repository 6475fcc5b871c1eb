// The right-click menus: the black-list box's edit commands and its import of published
// ad-server lists, and the block log's copy and export.
#include "filter/ad_server_import.h"
#include "filter/block_log_export.h"
#include "platform/ansi.h"
#include "platform/clipboard.h"
#include "ui/ad_server_import_box.h"
#include "ui/context_menus.h"
#include "ui/control_ids.h"
#include "ui/file_dialogs.h"
#include "ui/main_window.h"
#include "ui/messages_box.h"

#include <string>

namespace nimbrel {
namespace {

// The hourglass for the life of this object.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { SetCursor(previous_); }

private:
    HCURSOR previous_;
};

}  // namespace

bool TTarnwickForm1::routeContextMenu(HWND source, LPARAM position) {
    if (source == control(ids::Memo2)) {
        Memo2ContextPopup(contextMenuPoint(source, position));
        return true;
    }
    if (source == control(ids::ListView1)) {
        ListView1ContextPopup(contextMenuPoint(source, position));
        return true;
    }
    return false;
}

void TTarnwickForm1::Memo2ContextPopup(POINT at) {
    HWND memo = control(ids::Memo2);
    SetFocus(memo);
    std::vector<MenuEntry> entries = editCommands(memo);
    entries.push_back({});
    entries.push_back({ids::ImportAdServerList1, L"导入广告服务器列表..."});
    const int chosen = trackMenu(hwnd(), at, entries);
    if (chosen == ids::ImportAdServerList1)
        ImportAdServerList1Click();
    else
        runEditCommand(memo, chosen);
}

void TTarnwickForm1::ImportAdServerList1Click() {
    const auto path = chooseFileToOpen(
        hwnd(), {.title = L"导入广告服务器列表", .filter = L"文本文件 (*.txt)\0*.txt\0所有文件 (*.*)\0*.*\0"});
    if (!path) return;
    const AdServerImport result = [&] {
        const WaitCursor busy;  // a long list takes the box a while to lay out
        return importAdServerList(control(ids::Memo2), *path);
    }();
    showMessage(hwnd(), importReport(result));
}

void TTarnwickForm1::ListView1ContextPopup(POINT at) {
    std::wstring allowCaption;
    std::vector<MenuEntry> entries{
        {ids::CopyAddress1, L"复制地址", blockLog_.selectedAddress().has_value()},
        {},
        {ids::PassOnce1, L"放行一次", blockLog_.selectedRow().has_value()},
    };
    for (const MenuEntry& entry : rowCommands(allowCaption)) entries.push_back(entry);
    entries.push_back({});
    entries.push_back({ids::ExportLog1, L"导出..."});
    switch (trackMenu(hwnd(), at, entries)) {
    case ids::CopyAddress1: CopyAddress1Click(); break;
    case ids::AllowSite1: AllowSite1Click(); break;
    case ids::ShowBlackLine1: ShowBlackLine1Click(); break;
    case ids::CopyReason1: CopyReason1Click(); break;
    case ids::ExportLog1: ExportLog1Click(); break;
    case ids::PassOnce1: PassOnce1Click(); break;
    default: break;
    }
}

void TTarnwickForm1::CopyAddress1Click() {
    if (const auto address = blockLog_.selectedAddress()) copyToClipboard(hwnd(), fromAnsi(*address));
}

void TTarnwickForm1::PassOnce1Click() {
    if (const auto row = blockLog_.selectedRow())
        filter_.notices().passOnce(*blockLog_.log().address(*row), blockLog_.log().window(*row));
}

void TTarnwickForm1::ExportLog1Click() {
    const auto path = chooseFileToSave(hwnd(), {.title = L"导出日志",
                                                .filter = L"CSV 文件 (*.csv)\0*.csv\0所有文件 (*.*)\0*.*\0",
                                                .defaultExtension = L"csv",
                                                .fileName = L"nimbrel-log.csv"});
    if (path) exportBlockLog(blockLog_.log(), *path);
}

}  // namespace nimbrel
