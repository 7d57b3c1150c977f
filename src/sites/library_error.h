#pragma once

// What can go wrong with the library of sites. what() is the Polish message a person
// reads, saying what to do; kind() lets a caller choose an exit status or a dialog.

#include <stdexcept>
#include <string>
#include <vector>

namespace tarnik::sites {

class LibraryError : public std::runtime_error {
public:
    enum class Kind {
        BadLocation,       // --library / TARNIK_LIBRARY cannot name a library (or holds a password)
        Unreachable,       // the server cannot be reached, or the connection was lost
        Damaged,           // not a library, or a library whose tables are not ours
        Newer,             // made by a newer Tarnik: refused, never touched
        ReadOnly,          // the library cannot be written
        NoSuchSite,        // no site of that name
        NoSuchEntry,       // the site has no history entry of that number (or none with settings)
        NameTaken,         // another site has that name
        BadName,           // a name no site may have (empty, a slash, control characters)
        ChangedMeanwhile,  // the site was saved by someone else since it was opened
        Failed,            // any other failure of the database
    };

    LibraryError(Kind kind, const std::string& message, std::vector<std::string> changes = {})
        : std::runtime_error(message), kind_(kind), changes_(std::move(changes))
    {
    }

    Kind kind() const { return kind_; }
    // For ChangedMeanwhile: what changed since the caller's revision, one comparison line
    // each ("LABEL: przed: X, po: Y"), UTF-8.
    const std::vector<std::string>& changes() const { return changes_; }

private:
    Kind kind_;
    std::vector<std::string> changes_;
};

}  // namespace tarnik::sites
