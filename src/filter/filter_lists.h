// Filter lists: published ad-server lists the user subscribes to by address or file. Each is
// kept as a copy in the user's local application data folder (Nimbrel\filters\) and listed
// under HKCU\Software\Nimbrel\FilterLists, one subkey a list. Downloads, reading and
// compiling run on a worker thread of the manager's own; the hosts in force are swapped in
// at once when a compile ends, so a navigation never waits for one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace nimbrel {

class FilterHosts;

struct FilterListRow {
    std::wstring name, source;  // source: an http(s) address or a local file's path
    bool enabled = true;
    std::optional<std::int64_t> lastUpdate;  // unix seconds of the last successful update
    std::size_t rules = 0, unused = 0;
    // In the program's words: "已更新", "未改变", "正在更新...", "无法连接", "服务器返回 404",
    // "不是过滤列表", "文件过大", "下载中断", "安全连接失败", "找不到文件", ...
    std::wstring status;
    bool updating = false;
};

class FilterListManager {
public:
    // notifyWindow gets `changedMessage` posted whenever rows or the compiled hosts change.
    // Reads the stored lists and starts compiling their copies on the worker at once.
    FilterListManager(HWND notifyWindow, UINT changedMessage);
    ~FilterListManager();
    FilterListManager(const FilterListManager&) = delete;
    FilterListManager& operator=(const FilterListManager&) = delete;

    std::vector<FilterListRow> rows() const;
    // Throws nimbrel::Error with a message in the program's words for a malformed address, a
    // missing file or a list already subscribed; adds the list and starts its update at once.
    // An empty name takes the address's file name.
    void add(const std::wstring& name, const std::wstring& source);
    void remove(std::size_t index);  // also deletes its copy
    void setEnabled(std::size_t index, bool enabled);
    void updateNow(std::vector<std::size_t> indexes);  // empty: all
    // The compiled hosts in force; never waits for a compile. Never null.
    std::shared_ptr<const FilterHosts> hosts() const;
    // Due lists 60 s after this call, and whenever they fall due while running.
    void startScheduler();

    struct State;

private:
    std::shared_ptr<State> state_;  // shared with the worker, which may outlive a stuck download
    std::thread worker_;
    std::future<void> finished_;
};

// The public addresses of the lists that the recommended settings subscribe.
inline constexpr const wchar_t* kEasyListChina = L"https://easylist-downloads.adblockplus.org/easylistchina.txt";
inline constexpr const wchar_t* kEasyList = L"https://easylist.to/easylist/easylist.txt";

}  // namespace nimbrel
