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

// A list file is chosen for itself: kept machine-wide while that file (or, for a new one,
// its folder) can be written, which an administrator may grant for a shared list, else in
// the user's copy.
Place listWritePlace(bool machineWritable);
// Read from where it is written; until the user's copy exists, the machine's file is the
// list there is to read.
Place listReadPlace(bool machineWritable, bool userCopyExists);

}  // namespace nimbrel
