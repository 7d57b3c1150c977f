#pragma once

// How a history entry keeps its settings: the bytes of a settings file (a zlib stream of
// the record and the user directory), and the text a site is searched by.

#include <QByteArray>
#include <QString>
#include <optional>

#include "sites/site_library.h"

namespace tarnik::sites {

QByteArray storedBytes(const StoredSettings& settings);
// Throws SettingsFileContentError for bytes that are no settings file.
StoredSettings storedFromBytes(const QByteArray& bytes);

// The folded text a site is found by: its name, address, contact, serial number and
// phone, and the users' names and numbers of its latest settings.
QString siteSearchText(const SiteDetails& details, const std::optional<StoredSettings>& latest);

// The key the list of sites is ordered by: the folded name, so that "Łódź" sorts with "Lodz".
QString siteSortName(const SiteDetails& details);

// A LIKE pattern (with ESCAPE '!') finding `search` anywhere in a folded text: the
// wildcards % and _ in it are taken literally.
QString searchPattern(const QString& search);
inline constexpr const char* kSearchEscape = "!";

}  // namespace tarnik::sites
