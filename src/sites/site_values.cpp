// The library's values that need no database: the kinds' words, the folding for search,
// the login name, settings compared.

#include <cstring>

#include <pwd.h>
#include <unistd.h>

#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/setting_comparison.h"
#include "model/settings_catalogue.h"
#include "sites/site_library.h"

namespace tarnik::sites {

bool StoredSettings::operator==(const StoredSettings& other) const
{
    return std::memcmp(&record, &other.record, sizeof record) == 0 &&
           std::memcmp(&users, &other.users, sizeof users) == 0;
}

QString entryKindText(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Saved:
        return QStringLiteral("zapis");
    case EntryKind::Programmed:
        return QStringLiteral("programowanie");
    case EntryKind::ProgrammedAndVerified:
        return QStringLiteral("programowanie z weryfikacją");
    case EntryKind::ReadBack:
        return QStringLiteral("odczyt");
    case EntryKind::Verified:
        return QStringLiteral("weryfikacja");
    }
    return {};
}

QString currentLogin()
{
    if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

StoredSettings moduleSettings(const DeviceImage& image, const StoredSettings& base)
{
    StoredSettings held = base;
    ImageToSettings(image, held.record);
    held.record = effectiveSettings(held.record).record();
    return held;
}

QStringList settingsChanges(const StoredSettings& before, const StoredSettings& after)
{
    QStringList lines;
    for (const SettingComparison& c :
         compareSettings(effectiveSettings(before.record), before.users,
                         effectiveSettings(after.record), after.users)) {
        // The history is kept and shown like a log: it tells that a code changed, not the code.
        SettingComparison shown = c;
        if (isSecretCode(c.key))
            shown.valueA = shown.valueB = "****";
        lines << QString::fromStdString(comparisonLine(shown, {"przed", "po"}));
    }
    return lines;
}

QString foldedForSearch(const QString& text)
{
    static constexpr struct {
        char16_t letter;
        char16_t plain;
    } kPlain[] = {{u'ą', u'a'}, {u'ć', u'c'}, {u'ę', u'e'}, {u'ł', u'l'}, {u'ń', u'n'},
                  {u'ó', u'o'}, {u'ś', u's'}, {u'ź', u'z'}, {u'ż', u'z'}};
    QString folded = text.toLower();
    for (QChar& c : folded)
        for (const auto& [letter, plain] : kPlain)
            if (c.unicode() == letter) {
                c = QChar(plain);
                break;
            }
    return folded;
}

}  // namespace tarnik::sites
