#include "sites/library_location.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "sites/library_error.h"

namespace tarnik::sites {

namespace {

const QString kPostgresqlScheme = QStringLiteral("postgresql://");
const QString kPostgresScheme = QStringLiteral("postgres://");

[[noreturn]] void refuse(const QString& why)
{
    throw LibraryError(
        LibraryError::Kind::BadLocation,
        QStringLiteral("Nie można użyć biblioteki obiektów: %1").arg(why).toStdString());
}

[[noreturn]] void refusePassword()
{
    refuse(
        QStringLiteral("adres biblioteki zawiera hasło. Usuń je z adresu i zapisz w pliku "
                       "~/.pgpass (jeden wiersz: HOST:PORT:BAZA:UŻYTKOWNIK:HASŁO, prawa 0600)."));
}

QString decoded(const QString& part)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

// libpq quotes a value with spaces, quotes or backslashes in single quotes.
QString connectValue(const QString& value)
{
    if (!value.isEmpty() && !value.contains(QLatin1Char(' ')) &&
        !value.contains(QLatin1Char('\'')) && !value.contains(QLatin1Char('\\')))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1String("'"), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

int parsedPort(const QString& text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535 || text.startsWith(QLatin1Char('+')))
        refuse(QStringLiteral("„%1” nie jest numerem portu (1–65535).").arg(text));
    return port;
}

// host[:port], or [IPv6][:port].
void takeHostAndPort(const QString& hostPort, LibraryLocation& location)
{
    QString host = hostPort;
    QString port;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        if (close < 0)
            refuse(QStringLiteral("w adresie „%1” brakuje nawiasu „]”.").arg(hostPort));
        const QString rest = host.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            refuse(QStringLiteral("nie rozumiem adresu serwera „%1”.").arg(hostPort));
        port = rest.mid(1);
        host = host.mid(1, close - 1);
    } else if (const qsizetype colon = host.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        port = host.mid(colon + 1);
        host = host.left(colon);
    }
    location.host = decoded(host);
    if (!port.isEmpty())
        location.port = parsedPort(decoded(port));
}

void takeParameter(const QString& item, LibraryLocation& location, QStringList& options)
{
    const qsizetype equals = item.indexOf(QLatin1Char('='));
    if (equals <= 0)
        refuse(QStringLiteral("parametr „%1” adresu nie ma postaci NAZWA=WARTOŚĆ.").arg(item));
    const QString key = decoded(item.left(equals));
    const QString value = decoded(item.mid(equals + 1));
    if (key == QLatin1String("password"))
        refusePassword();
    if (key == QLatin1String("host"))
        location.host = value;
    else if (key == QLatin1String("port"))
        location.port = value.isEmpty() ? -1 : parsedPort(value);
    else if (key == QLatin1String("user"))
        location.user = value;
    else if (key == QLatin1String("dbname"))
        location.database = value;
    else
        options << key + QLatin1Char('=') + connectValue(value);
}

LibraryLocation parsePostgresqlUri(const QString& text, qsizetype schemeLength)
{
    LibraryLocation location;
    location.engine = LibraryLocation::Engine::PostgreSQL;
    QString rest = text.mid(schemeLength);
    QString query;
    if (const qsizetype question = rest.indexOf(QLatin1Char('?')); question >= 0) {
        query = rest.mid(question + 1);
        rest.truncate(question);
    }
    QString authority = rest;
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        authority = rest.left(slash);
        location.database = decoded(rest.mid(slash + 1));
    }
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString userInfo = authority.left(at);
        if (userInfo.contains(QLatin1Char(':')))
            refusePassword();
        location.user = decoded(userInfo);
        authority = authority.mid(at + 1);
    }
    takeHostAndPort(authority, location);
    QStringList options;
    if (!query.isEmpty())
        for (const QString& item : query.split(QLatin1Char('&'), Qt::SkipEmptyParts))
            takeParameter(item, location, options);
    location.options = options.join(QLatin1Char(';'));
    return location;
}

QString nonEmptyVariable(const char* name)
{
    return qEnvironmentVariable(name);
}

}  // namespace

QString LibraryLocation::display() const
{
    if (engine == Engine::SQLite)
        return path;
    QString uri = kPostgresqlScheme;
    if (!user.isEmpty())
        uri += user + QLatin1Char('@');
    const bool socketFolder = host.startsWith(QLatin1Char('/'));
    if (!socketFolder)
        uri += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    if (port > 0)
        uri += QLatin1Char(':') + QString::number(port);
    uri += QLatin1Char('/') + database;
    if (socketFolder)
        uri += QStringLiteral("?host=") + host;
    return uri;
}

LibraryLocation parseLibraryLocation(const QString& text)
{
    if (text.startsWith(kPostgresqlScheme, Qt::CaseInsensitive))
        return parsePostgresqlUri(text, kPostgresqlScheme.size());
    if (text.startsWith(kPostgresScheme, Qt::CaseInsensitive))
        return parsePostgresqlUri(text, kPostgresScheme.size());
    if (text.isEmpty())
        refuse(QStringLiteral("nie podano ani pliku, ani adresu serwera PostgreSQL."));
    LibraryLocation location;
    location.path = QFileInfo(text).absoluteFilePath();
    return location;
}

QString defaultLibraryPath()
{
    QString data = nonEmptyVariable("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is not to be used: it would move with the working folder.
    if (data.isEmpty() || QDir::isRelativePath(data)) {
        QString home = nonEmptyVariable("HOME");
        if (home.isEmpty())
            home = QDir::homePath();
        data = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(data + QStringLiteral("/Tarnik/obiekty.sqlite"));
}

LibraryLocation chooseLibraryLocation(const std::optional<QString>& given, const QString& setting)
{
    if (given)
        return parseLibraryLocation(*given);
    if (const QString variable = nonEmptyVariable(kLibraryVariable); !variable.isEmpty())
        return parseLibraryLocation(variable);
    if (!setting.isEmpty())
        return parseLibraryLocation(setting);
    return parseLibraryLocation(defaultLibraryPath());
}

}  // namespace tarnik::sites
