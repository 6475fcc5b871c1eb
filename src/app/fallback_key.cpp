#include "app/fallback_key.h"

#include "app/registry.h"
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

void FallbackKey::remove(const wchar_t* name) {
    if (inUserKey(name)) deleteValue(user_.get(), name);
    if (valueExists(machine_.get(), name)) deleteValue(machineWritable_ ? machine_.get() : nullptr, name);
}

}  // namespace nimbrel
