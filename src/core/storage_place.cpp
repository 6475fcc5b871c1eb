#include "core/storage_place.h"

namespace nimbrel {

Place readPlace(bool userCopyExists) { return userCopyExists ? Place::user : Place::machine; }

Place writePlace(bool userCopyExists, bool machineWritable) {
    return userCopyExists || !machineWritable ? Place::user : Place::machine;
}

}  // namespace nimbrel
