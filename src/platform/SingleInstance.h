#pragma once

#include <QString>

namespace corvelix {

// Lock file that marks a running program in the data folder.
QString instanceLockPath();

// Takes the program's instance lock for the rest of the process. False when another living
// process holds it; true when this process holds it (already or now). A lock left behind by
// a process that died is taken over; a folder where no lock can be made counts as no other
// instance.
bool acquireInstanceLock();

} // namespace corvelix
