// Where the program keeps what it saves: the machine-wide place (the registry's local
// machine, the program's folder) while the user may write there, else a copy of the
// user's own, as Windows once did quietly for programs of this kind.
#pragma once

namespace nimbrel {

enum class Place { machine, user };

// The user's copy, once there is one, is what counts.
Place readPlace(bool userCopyExists);
// Written where it is read from, so that a save is what the next start sees; a new value
// goes machine-wide when that can be written.
Place writePlace(bool userCopyExists, bool machineWritable);

}  // namespace nimbrel
