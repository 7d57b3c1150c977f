#pragma once

// The library's tables, one schema for both engines, and its versions: schema 1 holds the
// sites and their history entries; schema 2 adds what search and concurrent saving need
// (a folded search text and a revision per site, the revision each entry produced) and
// the times of the latest programming and verification. A library is migrated forward,
// all steps in one transaction, when it is opened.

#include "sites/library_connection.h"
#include "sites/site_library.h"

namespace tarnik::sites {

inline constexpr int kCurrentSchemaVersion = 2;

// The schema version of the connected library: 0 for an empty database. Throws Damaged
// for a database holding tables but not a library's.
int schemaVersion(LibraryConnection& connection);

// Creates the tables of schema 1, as the first version of the library made them, in the
// caller's transaction. How a migration from schema 1 is tested.
void createSchema1(LibraryConnection& connection);

// Brings a library of version `from` (0: an empty database) to the current schema in one
// transaction.
void migrateSchema(LibraryConnection& connection, int from);

// The entries' kinds as stored (a number each, never to be renumbered).
int storedKind(EntryKind kind);
EntryKind kindFromStored(int stored);
// The stored kinds whose successful entries count as a programming, and as a verification
// that found no difference: "(1, 2)".
QString programmingKinds();
QString verificationKinds();

}  // namespace tarnik::sites
