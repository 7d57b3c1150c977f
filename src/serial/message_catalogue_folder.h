#pragma once

// Where the message catalogues of a text domain are looked for: the "locale"
// folder beside the program first, then the system's installed folder
// (share/locale). The first that holds the domain's catalogue for one of the
// user's languages wins; with none, the folder beside the program is used (and
// every text stays as written).

#include <filesystem>
#include <string>
#include <vector>

namespace tarnik {

// The user's languages in gettext's order of preference (LANGUAGE, then the
// first set of LC_ALL, LC_MESSAGES, LANG), each followed by its shorter forms:
// "pl_PL.UTF-8" gives "pl_PL.UTF-8", "pl_PL", "pl".
std::vector<std::string> userLanguages();

std::filesystem::path messageCatalogueFolder(const std::filesystem::path& besideProgram,
                                             const std::filesystem::path& installed,
                                             const std::string& domain,
                                             const std::vector<std::string>& languages);

}  // namespace tarnik
