#pragma once

// The library's refusals and failures, each with the Polish message that says what to do:
// the one place these texts are written.

#include <QString>
#include <QStringList>

#include "sites/library_error.h"
#include "sites/library_location.h"

namespace tarnik::sites {

[[noreturn]] void throwDamaged(const LibraryLocation& location);
[[noreturn]] void throwNewer(const LibraryLocation& location, int found, int known);
[[noreturn]] void throwReadOnly(const LibraryLocation& location, const QString& reason);
// The server could not be reached; `detail` is the driver's own word.
[[noreturn]] void throwUnreachable(const LibraryLocation& location, const QString& detail);
// The connection broke during a change: nothing of it was written.
[[noreturn]] void throwConnectionLost(const LibraryLocation& location);
[[noreturn]] void throwFailed(const LibraryLocation& location, const QString& detail);
[[noreturn]] void throwNoSuchSite(const QString& name);
[[noreturn]] void throwNoSuchEntry(const QString& name, qint64 number);
[[noreturn]] void throwNameTaken(const QString& name);
[[noreturn]] void throwBadName(const QString& name, const QString& why);
// `changes`: what changed since the caller's revision, one comparison line each.
[[noreturn]] void throwChangedMeanwhile(const QString& name, const QStringList& changes);

}  // namespace tarnik::sites
