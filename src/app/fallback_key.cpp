#include "app/fallback_key.h"

#include "app/registry.h"
#include "core/messages.h"
#include "core/storage_place.h"
#include "platform/error.h"

namespace nimbrel {

FallbackKey::FallbackKey(const wchar_t* machinePath, const wchar_t* userPath) : userPath_(userPath) {
    machine_ = openKey(HKEY_LOCAL_MACHINE, machinePath);
    machineWritable_ = static_cast<bool>(machine_);
    if (!machine_) machine_ = openKeyForReading(HKEY_LOCAL_MACHINE, machinePath);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, userPath, 0, KEY_ALL_ACCESS, user_.put()) != ERROR_SUCCESS)
        user_ = openKeyForReading(HKEY_CURRENT_USER, userPath);
}

bool FallbackKey::inUserKey(const wchar_t* name) const { return valueExists(user_.get(), name); }

std::wstring FallbackKey::read(const wchar_t* name) const {
    return readString(readPlace(inUserKey(name)) == Place::user ? user_.get() : machine_.get(), name);
}

bool FallbackKey::exists(const wchar_t* name) const {
    return inUserKey(name) || valueExists(machine_.get(), name);
}

void FallbackKey::write(const wchar_t* name, const std::wstring& text) {
    if (writePlace(inUserKey(name), machineWritable_) == Place::machine) {
        try {
            writeString(machine_.get(), name, text);
            return;
        } catch (const Error&) {
            // The key opened for writing but refused the value: the user's key takes it.
        }
    }
    if (!user_) user_ = openKey(HKEY_CURRENT_USER, userPath_.c_str());
    writeString(user_.get(), name, text);
}

// Each copy is tried, whatever became of the other: Windows starts the machine's Run value
// and the user's alike, so one left behind would go on starting the program.
void FallbackKey::remove(const wchar_t* name) {
    bool stays = false;
    const auto removeFrom = [&](HKEY key) {
        try {
            deleteValue(key, name);
        } catch (const Error&) {
            stays = true;
        }
    };
    if (inUserKey(name)) removeFrom(user_.get());
    if (valueExists(machine_.get(), name)) removeFrom(machineWritable_ ? machine_.get() : nullptr);
    if (stays) throw Error(formatMessage(L"Failed to set data for '%s'", {name}));
}

}  // namespace nimbrel
