#include "filter/filter_lists.h"

#include "core/host_set.h"
#include "core/messages.h"
#include "core/update_schedule.h"
#include "filter/filter_list_fetch.h"
#include "filter/filter_list_store.h"
#include "filter/list_files.h"
#include "platform/error.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <random>
#include <thread>

namespace nimbrel {
namespace {

using Clock = std::chrono::steady_clock;

std::int64_t unixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::wstring trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

bool sameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

ScheduleTime scheduleTime(std::int64_t unixSeconds) { return ScheduleTime(std::chrono::seconds(unixSeconds)); }

std::int64_t nextCheckAfter(std::int64_t attempt, const StoredList& list, double random) {
    const auto expires = list.expiresHours > 0 ? std::optional(std::chrono::hours(list.expiresHours)) : std::nullopt;
    return nextUpdate(scheduleTime(attempt), static_cast<unsigned>(list.failures), expires, random)
        .time_since_epoch()
        .count();
}

bool due(const StoredList& list, std::int64_t now) {
    return isDue(list.nextCheck ? std::optional(scheduleTime(list.nextCheck)) : std::nullopt, scheduleTime(now));
}

// What an address or a path names, for a list added without a name.
std::wstring nameOf(const std::wstring& source) {
    std::wstring name = source;
    while (!name.empty() && (name.back() == L'/' || name.back() == L'\\')) name.pop_back();
    const auto cut = name.find_last_of(L"/\\");
    return cut == std::wstring::npos ? name : name.substr(cut + 1);
}

}  // namespace

struct FilterListManager::State {
    HWND window;
    UINT message;
    std::wstring folder = filterCopiesFolder();

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::vector<StoredList> lists;   // in the order of rows()
    std::deque<std::wstring> queue;  // keys of lists to update, in order
    bool compileWanted = true;       // the stored copies, at once
    std::optional<Clock::time_point> firstCheck;
    std::atomic<bool> stopping{false};
    std::mt19937 random{std::random_device{}()};

    std::atomic<std::shared_ptr<const FilterHosts>> hosts{std::make_shared<const FilterHosts>()};

    void changed() const {
        if (window) PostMessageW(window, message, 0, 0);
    }
    StoredList* find(const std::wstring& key) {
        for (StoredList& list : lists)
            if (list.key == key) return &list;
        return nullptr;
    }
    // Saving is best effort: the rows in memory stay right for this run either way.
    static void save(const StoredList& list) {
        try {
            saveFilterList(list);
        } catch (const Error&) {
        }
    }
    void queueUpdate(StoredList& list) {
        if (list.row.updating) return;
        list.row.updating = true;
        list.row.status = kListUpdating;
        queue.push_back(list.key);
    }

    void run();
    void update(const std::wstring& key);
    void finishUpdate(StoredList& list, ListFetch& fetch);
    void compile();
    void queueDueLists();
    Clock::time_point nextWake() const;
};

void FilterListManager::State::run() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    std::unique_lock lock(mutex);
    while (!stopping) {
        if (!queue.empty()) {
            const std::wstring key = queue.front();
            queue.pop_front();
            lock.unlock();
            update(key);
            lock.lock();
        } else if (compileWanted) {
            compileWanted = false;
            lock.unlock();
            compile();
            lock.lock();
        } else if (firstCheck && Clock::now() >= *firstCheck) {
            queueDueLists();
            if (queue.empty()) wake.wait_until(lock, nextWake());
        } else {
            wake.wait_until(lock, firstCheck.value_or(Clock::now() + std::chrono::hours(1)));
        }
    }
}

// Lists from a file are read again only when the user asks.
void FilterListManager::State::queueDueLists() {
    const std::int64_t now = unixNow();
    bool any = false;
    for (StoredList& list : lists)
        if (due(list, now) && !list.row.updating && isWebAddress(list.row.source)) {
            queueUpdate(list);
            any = true;
        }
    if (any) changed();
}

Clock::time_point FilterListManager::State::nextWake() const {
    std::int64_t soonest = unixNow() + 3600;  // and look again at least hourly: clocks jump
    for (const StoredList& list : lists)
        if (isWebAddress(list.row.source)) soonest = std::min(soonest, list.nextCheck);
    return Clock::now() + std::chrono::seconds(std::max<std::int64_t>(1, soonest - unixNow()));
}

void FilterListManager::State::update(const std::wstring& key) {
    FetchRequest request;
    {
        std::lock_guard lock(mutex);
        const StoredList* list = find(key);
        if (!list) return;
        request.source = list->row.source;
        const bool haveCopy = GetFileAttributesW(copyPath(folder, *list).c_str()) != INVALID_FILE_ATTRIBUTES;
        if (haveCopy) {
            request.etag = list->etag;
            request.lastModified = list->lastModified;
        }
    }
    request.folder = folder;
    request.stopRequested = [this] { return stopping.load(); };
    ListFetch fetch = fetchList(request);
    {
        std::lock_guard lock(mutex);
        if (StoredList* list = find(key)) {
            finishUpdate(*list, fetch);
        }
    }
    if (!fetch.checkedFile.empty()) DeleteFileW(fetch.checkedFile.c_str());  // the list went meanwhile
    changed();
}

// Called with the lock held, so a list removed meanwhile never gets its copy back.
void FilterListManager::State::finishUpdate(StoredList& list, ListFetch& fetch) {
    const std::int64_t now = unixNow();
    const double spread = std::uniform_real_distribution<double>(0.0, 1.0)(random);
    if (fetch.kind == ListFetch::Kind::replaced &&
        !MoveFileExW(fetch.checkedFile.c_str(), copyPath(folder, list).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        fetch.kind = ListFetch::Kind::failed;
        fetch.status = kCannotSave;
    }
    list.row.updating = false;
    list.row.status = fetch.status;
    if (fetch.kind == ListFetch::Kind::failed) {
        ++list.failures;
        list.nextCheck = nextCheckAfter(now, list, spread);
    } else {
        list.failures = 0;
        list.row.lastUpdate = now;
        if (fetch.kind == ListFetch::Kind::replaced) {
            fetch.checkedFile.clear();
            list.row.rules = fetch.rules;
            list.row.unused = fetch.unused;
            list.expiresHours = fetch.expiresHours;
            list.etag = fetch.etag;
            list.lastModified = fetch.lastModified;
            if (list.row.enabled) compileWanted = true;
        }
        list.nextCheck = nextCheckAfter(now, list, spread);
    }
    save(list);
}

// Every enabled list's copy, parsed and compiled into one set that takes over at once.
void FilterListManager::State::compile() {
    std::vector<std::pair<std::wstring, std::wstring>> wanted;  // name, copy
    {
        std::lock_guard lock(mutex);
        for (const StoredList& list : lists)
            if (list.row.enabled) wanted.emplace_back(list.row.name, copyPath(folder, list));
    }
    std::vector<NamedRules> rules;
    for (const auto& [name, path] : wanted) {
        if (stopping) return;
        std::optional<std::string> bytes;
        try {
            bytes = readFileBytes(path);
        } catch (const Error&) {
        }
        if (bytes) rules.push_back(NamedRules{name, parseListText(*bytes)});
    }
    hosts.store(std::make_shared<const FilterHosts>(rules));
    changed();
}

FilterListManager::FilterListManager(HWND notifyWindow, UINT changedMessage)
    : state_(std::make_shared<State>()) {
    state_->window = notifyWindow;
    state_->message = changedMessage;
    state_->lists = loadFilterLists();
    if (recommendedListsWanted()) {
        for (const wchar_t* source : {kEasyListChina, kEasyList}) {
            bool present = false;
            for (const StoredList& list : state_->lists) present = present || sameText(list.row.source, source);
            if (present) continue;
            StoredList list;
            list.key = newFilterListKey(state_->lists);
            list.row.name = source == kEasyList ? L"EasyList" : L"EasyList China";
            list.row.source = source;
            State::save(list);
            state_->lists.push_back(std::move(list));
        }
        markRecommendedListsTaken();
    }
    std::promise<void> finished;
    finished_ = finished.get_future();
    worker_ = std::thread([state = state_, finished = std::move(finished)]() mutable {
        state->run();
        finished.set_value();
    });
}

// A download that hangs must not hold up the program's exit: the worker is let go after a
// while, keeping the state it shares alive.
FilterListManager::~FilterListManager() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    if (finished_.wait_for(std::chrono::seconds(3)) == std::future_status::ready)
        worker_.join();
    else
        worker_.detach();
}

std::vector<FilterListRow> FilterListManager::rows() const {
    std::lock_guard lock(state_->mutex);
    std::vector<FilterListRow> rows;
    for (const StoredList& list : state_->lists) rows.push_back(list.row);
    return rows;
}

void FilterListManager::add(const std::wstring& name, const std::wstring& source) {
    StoredList list;
    list.row.source = trimmed(source);
    const std::wstring& where = list.row.source;
    const bool looksWeb = where.find(L"://") != std::wstring::npos || where.rfind(L"http", 0) == 0;
    if (looksWeb ? !isWebAddress(where) : where.empty())
        throw Error(L"地址无效: 请输入以 http:// 或 https:// 开头的地址, 或一个文件");
    if (!looksWeb) {
        const DWORD attributes = GetFileAttributesW(where.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw Error(formatMessage(L"找不到文件 %s", {where}));
    }
    list.row.name = trimmed(name).empty() ? nameOf(where) : trimmed(name);
    {
        std::lock_guard lock(state_->mutex);
        for (const StoredList& other : state_->lists)
            if (sameText(other.row.source, where)) throw Error(formatMessage(L"已有这个过滤列表: %s", {other.row.name}));
        list.key = newFilterListKey(state_->lists);
        saveFilterList(list);
        state_->lists.push_back(std::move(list));
        state_->queueUpdate(state_->lists.back());
    }
    state_->wake.notify_all();
    state_->changed();
}

void FilterListManager::remove(std::size_t index) {
    {
        std::lock_guard lock(state_->mutex);
        if (index >= state_->lists.size()) return;
        const StoredList list = state_->lists[index];
        state_->lists.erase(state_->lists.begin() + static_cast<std::ptrdiff_t>(index));
        deleteFilterList(list.key);
        DeleteFileW(copyPath(state_->folder, list).c_str());
        if (list.row.enabled) state_->compileWanted = true;
    }
    state_->wake.notify_all();
    state_->changed();
}

void FilterListManager::setEnabled(std::size_t index, bool enabled) {
    {
        std::lock_guard lock(state_->mutex);
        if (index >= state_->lists.size() || state_->lists[index].row.enabled == enabled) return;
        state_->lists[index].row.enabled = enabled;
        State::save(state_->lists[index]);
        state_->compileWanted = true;
    }
    state_->wake.notify_all();
    state_->changed();
}

void FilterListManager::updateNow(std::vector<std::size_t> indexes) {
    {
        std::lock_guard lock(state_->mutex);
        if (indexes.empty())
            for (std::size_t i = 0; i < state_->lists.size(); ++i) indexes.push_back(i);
        for (std::size_t index : indexes)
            if (index < state_->lists.size()) state_->queueUpdate(state_->lists[index]);
    }
    state_->wake.notify_all();
    state_->changed();
}

std::shared_ptr<const FilterHosts> FilterListManager::hosts() const { return state_->hosts.load(); }

void FilterListManager::startScheduler() {
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->firstCheck) state_->firstCheck = Clock::now() + kFirstUpdateCheckDelay;
    }
    state_->wake.notify_all();
}

}  // namespace nimbrel
