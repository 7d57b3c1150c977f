#include "sites/stored_settings.h"

#include <QStringList>

#include "file/settings_file.h"
#include "model/codepage.h"

namespace tarnik::sites {

QByteArray storedBytes(const StoredSettings& settings)
{
    const std::vector<std::uint8_t> bytes = settingsFileBytes(settings.record, settings.users);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

StoredSettings storedFromBytes(const QByteArray& bytes)
{
    StoredSettings settings;
    settingsFromFileBytes({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size())},
                          settings.record, settings.users);
    return settings;
}

namespace {

// A record's text as the window shows it: up to its first zero byte.
QString shownText(const std::string& cp1250)
{
    return fromCp1250(std::string_view(cp1250).substr(0, cp1250.find('\0')));
}

}  // namespace

QString siteSearchText(const SiteDetails& details, const std::optional<StoredSettings>& latest)
{
    QStringList parts{details.name, details.address, details.contact, details.serialNumber,
                      details.modulePhone};
    if (latest)
        for (int u = 0; u < kUsers; ++u) {
            parts << shownText(latest->users.entries[u].osoba.str());
            parts << shownText(latest->record.nrUser[u].str());
        }
    // A line break between the parts, so that a search never spans two of them.
    // No zero character: PostgreSQL refuses it in a text, and SQLite's LIKE stops at it.
    return foldedForSearch(parts.join(QLatin1Char('\n'))).remove(QChar(0));
}

QString siteSortName(const SiteDetails& details)
{
    return foldedForSearch(details.name).remove(QChar(0));
}

QString searchPattern(const QString& search)
{
    QString pattern = QStringLiteral("%");
    for (const QChar c : foldedForSearch(search)) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char(kSearchEscape[0]))
            pattern += QLatin1Char(kSearchEscape[0]);
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

}  // namespace tarnik::sites
