#pragma once

#include <QString>

namespace corvelix {

// Folder of read-only program files (sibling program, animation): the executable's folder,
// or CORVELIX_HOME when set.
QString programFolder();
// Folder of the program's own data: CORVELIX_HOME when set, else the per-user app data folder.
QString dataFolder();
// The local database file: <data folder>/db/corvelix.db.
QString localDatabasePath();

} // namespace corvelix
