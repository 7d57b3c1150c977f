#include "serial/message_catalogue_folder.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace tarnik {

namespace {

void addWithShorterForms(std::vector<std::string>& out, std::string name)
{
    auto add = [&out](const std::string& form) {
        if (!form.empty() && std::find(out.begin(), out.end(), form) == out.end())
            out.push_back(form);
    };
    add(name);
    if (const auto at = name.find('@'); at != std::string::npos)
        add(name.erase(at));
    if (const auto dot = name.find('.'); dot != std::string::npos)
        add(name.erase(dot));
    if (const auto underscore = name.find('_'); underscore != std::string::npos)
        add(name.erase(underscore));
}

std::string firstSet(std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return {};
}

bool holdsCatalogue(const std::filesystem::path& folder, const std::string& domain,
                    const std::vector<std::string>& languages)
{
    std::error_code ec;
    for (const std::string& language : languages)
        if (std::filesystem::is_regular_file(folder / language / "LC_MESSAGES" / (domain + ".mo"),
                                             ec))
            return true;
    return false;
}

}  // namespace

std::vector<std::string> userLanguages()
{
    std::vector<std::string> languages;
    std::string list = firstSet({"LANGUAGE"});
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        addWithShorterForms(languages, list.substr(start, end - start));
        start = end + 1;
    }
    const std::string locale = firstSet({"LC_ALL", "LC_MESSAGES", "LANG"});
    if (locale != "C" && locale != "POSIX")
        addWithShorterForms(languages, locale);
    return languages;
}

std::filesystem::path messageCatalogueFolder(const std::filesystem::path& besideProgram,
                                             const std::filesystem::path& installed,
                                             const std::string& domain,
                                             const std::vector<std::string>& languages)
{
    if (holdsCatalogue(besideProgram, domain, languages))
        return besideProgram;
    if (holdsCatalogue(installed, domain, languages))
        return installed;
    return besideProgram;
}

}  // namespace tarnik
