#pragma once

#include <QString>

namespace corvelix {

// Lock file that marks a running program in the data folder.
QString instanceLockPath();
// Where the lock goes when the data folder cannot hold it: the user's runtime folder, under a
// name made from the data folder (one instance per data folder, as in the data folder).
QString fallbackInstanceLockPath();

enum class InstanceLock {
    Taken,       // this process holds it (already or now)
    HeldByOther, // another living process holds it
    Unavailable  // no lock could be made in either folder
};

// Takes the program's instance lock for the rest of the process, in the data folder or, when
// no lock can be made there (a folder the user cannot write), in the runtime folder. A lock
// left behind by a process that died is taken over. With Unavailable, `problem` (when given)
// says in Spanish which folders were tried and why they failed.
InstanceLock takeInstanceLock(QString* problem = nullptr);

// Test seams: lets go of a lock this process holds; puts the runtime folder elsewhere (the
// empty text: the user's own again).
void releaseInstanceLockForTests();
void setRuntimeFolderForTests(const QString& folder);

} // namespace corvelix
