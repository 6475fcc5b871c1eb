#include "core/storage_place.h"

namespace nimbrel {

Place readPlace(bool userCopyExists) { return userCopyExists ? Place::user : Place::machine; }

Place writePlace(bool userCopyExists, bool machineWritable) {
    return userCopyExists || !machineWritable ? Place::user : Place::machine;
}

Place listWritePlace(bool machineWritable) { return machineWritable ? Place::machine : Place::user; }

Place listReadPlace(bool machineWritable, bool userCopyExists) {
    return listWritePlace(machineWritable) == Place::user && userCopyExists ? Place::user : Place::machine;
}

}  // namespace nimbrel
