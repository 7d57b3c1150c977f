#include "sites/library_failures.h"

namespace tarnik::sites {

namespace {

[[noreturn]] void fail(LibraryError::Kind kind, const QString& message)
{
    throw LibraryError(kind, message.toStdString());
}

const QString kOtherLibrary = QStringLiteral(
    "Wskaż inną bibliotekę (opcja --library, zmienna TARNIK_LIBRARY lub ustawienie w oknie).");

}  // namespace

void throwDamaged(const LibraryLocation& location)
{
    if (location.engine == LibraryLocation::Engine::SQLite)
        fail(LibraryError::Kind::Damaged,
             QStringLiteral("Plik „%1” nie jest biblioteką obiektów programu Tarnik albo jest "
                            "uszkodzony. Pozostawiono go bez zmian. %2 Aby założyć nową "
                            "bibliotekę w tym miejscu, przenieś ten plik w inne miejsce.")
                 .arg(location.path, kOtherLibrary));
    fail(LibraryError::Kind::Damaged,
         QStringLiteral("Baza danych %1 zawiera tabele, które nie są biblioteką obiektów "
                        "programu Tarnik. Pozostawiono ją bez zmian. Wskaż pustą bazę danych "
                        "albo bazę biblioteki obiektów.")
             .arg(location.display()));
}

void throwNewer(const LibraryLocation& location, int found, int known)
{
    fail(LibraryError::Kind::Newer,
         QStringLiteral("Biblioteka obiektów „%1” pochodzi z nowszej wersji programu Tarnik "
                        "(schemat %2, ten program zna %3). Zaktualizuj program.")
             .arg(location.display())
             .arg(found)
             .arg(known));
}

void throwReadOnly(const LibraryLocation& location, const QString& reason)
{
    fail(LibraryError::Kind::ReadOnly,
         QStringLiteral("Nie można zapisywać w bibliotece obiektów „%1” (%2). Nadaj sobie prawo "
                        "zapisu do pliku i jego folderu albo wskaż inną bibliotekę.")
             .arg(location.display(), reason));
}

void throwUnreachable(const LibraryLocation& location, const QString& detail)
{
    fail(LibraryError::Kind::Unreachable,
         QStringLiteral("Nie można połączyć się z biblioteką obiektów %1: %2. Sprawdź, czy "
                        "serwer PostgreSQL działa, czy adres, port, użytkownik i nazwa bazy są "
                        "poprawne oraz czy hasło, jeśli serwer go wymaga, jest zapisane w pliku "
                        "~/.pgpass.")
             .arg(location.display(), detail.trimmed()));
}

void throwConnectionLost(const LibraryLocation& location)
{
    fail(LibraryError::Kind::Unreachable,
         QStringLiteral("Połączenie z biblioteką obiektów %1 zostało przerwane; zmiana nie "
                        "została zapisana. Sprawdź, czy serwer PostgreSQL działa i jest "
                        "osiągalny, i spróbuj ponownie.")
             .arg(location.display()));
}

void throwFailed(const LibraryLocation& location, const QString& detail)
{
    fail(LibraryError::Kind::Failed,
         QStringLiteral("Błąd biblioteki obiektów „%1”: %2. Nic nie zostało zmienione; spróbuj "
                        "ponownie.")
             .arg(location.display(), detail.trimmed()));
}

void throwNoSuchSite(const QString& name)
{
    fail(LibraryError::Kind::NoSuchSite,
         QStringLiteral("W bibliotece nie ma obiektu „%1”. Sprawdź nazwę na liście obiektów.")
             .arg(name));
}

void throwNoSuchEntry(const QString& name, qint64 number)
{
    if (number <= 0)
        fail(LibraryError::Kind::NoSuchEntry,
             QStringLiteral("Historia obiektu „%1” nie ma żadnego wpisu z ustawieniami. Zapisz "
                            "w nim ustawienia albo odczytaj je z modułu.")
                 .arg(name));
    fail(LibraryError::Kind::NoSuchEntry,
         QStringLiteral("Historia obiektu „%1” nie ma wpisu %2 z ustawieniami. Sprawdź numer "
                        "w historii obiektu.")
             .arg(name)
             .arg(number));
}

void throwNameTaken(const QString& name)
{
    fail(LibraryError::Kind::NameTaken,
         QStringLiteral("Obiekt „%1” już jest w bibliotece. Wybierz inną nazwę.").arg(name));
}

void throwBadName(const QString& name, const QString& why)
{
    fail(LibraryError::Kind::BadName,
         QStringLiteral("Nazwa obiektu „%1” jest niedozwolona: %2. Wybierz inną nazwę.")
             .arg(name, why));
}

void throwChangedMeanwhile(const QString& name, const QStringList& changes)
{
    std::vector<std::string> lines;
    for (const QString& line : changes)
        lines.push_back(line.toStdString());
    throw LibraryError(
        LibraryError::Kind::ChangedMeanwhile,
        QStringLiteral("Ktoś inny zapisał obiekt „%1”, odkąd go otwarto, i zmienił ustawienia "
                       "(zmian: %2). Twoje ustawienia nie zostały zapisane: otwórz obiekt "
                       "ponownie, sprawdź zmiany, nanieś swoje i zapisz jeszcze raz.")
            .arg(name)
            .arg(changes.size())
            .toStdString(),
        std::move(lines));
}

}  // namespace tarnik::sites
