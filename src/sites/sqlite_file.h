#pragma once

// The SQLite library's file, made ready before the driver opens it: its folder created
// owner-only (0700) and the file itself created owner-only (0600) on first use, so that
// no one else can ever read it; an existing file checked to be a SQLite database the
// user may write. Throws Damaged, ReadOnly or Failed, touching nothing.

#include "sites/library_location.h"

namespace tarnik::sites {

void prepareSqliteFile(const LibraryLocation& location);

}  // namespace tarnik::sites
