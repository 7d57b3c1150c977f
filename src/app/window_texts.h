#pragma once

// The texts the window shell shows to the user, UTF-8, in one place. The settings pages
// and the module link keep theirs in their own layers.

namespace tarnik::window_text {

// "Plik" menu: the comparisons.
inline constexpr const char* kCompareWithFile = "Porównaj z plikiem ...";
inline constexpr const char* kCompareWithModule = "Porównaj z modułem";
inline constexpr const char* kVerifyAfterProgramming = "Sprawdź po zaprogramowaniu";
inline constexpr const char* kComparisonBusy =
    "Trwa wymiana z modułem; porównanie możliwe po jej zakończeniu.";

// The comparison dialog.
inline constexpr const char* kComparisonTitle = "Porównanie ustawień";
inline constexpr const char* kNoDifferences = "Brak różnic.";
inline constexpr const char* kDifferenceCount = "Liczba różnic: ";
inline constexpr const char* kSettingColumn = "Ustawienie";
inline constexpr const char* kWindowColumn = "W oknie";
inline constexpr const char* kFileColumn = "W pliku";
inline constexpr const char* kModuleColumn = "W module";
inline constexpr const char* kClose = "Zamknij";

// "Plik" menu: "Przegląd konfiguracji", its window.
inline constexpr const char* kOverviewTitle = "Przegląd konfiguracji";
inline constexpr const char* kCopyTable = "Kopiuj tabelę";
inline constexpr const char* kOverviewWarnings = "Uwagi do konfiguracji (%1):";
inline constexpr const char* kOverviewNoWarnings = "Uwagi do konfiguracji: brak.";
inline constexpr const char* kOverviewHideUnused =
    "Ukryj zdarzenia bez reakcji i użytkowników bez numeru";
inline constexpr const char* kOverviewShowCodes = "Pokaż kody";

// "Plik" menu: "Drukuj raport ...", its print preview.
inline constexpr const char* kPrintReport = "Drukuj raport ...";
inline constexpr const char* kShowSecrets = "Pokaż PIN i kody";
inline constexpr const char* kSavePdf = "Zapisz jako PDF ...";
inline constexpr const char* kPdfFilter = "Dokument PDF (*.pdf)";
inline constexpr const char* kReportFileName = "raport";  // offered when no file is named
inline constexpr const char* kHandOverTitle = "Dane do raportu";
inline constexpr const char* kHandOverNote =
    "Nagłówek raportu przekazania. Puste pole zostaje w raporcie do wpisania ręcznie.";

// "Edycja" menu: copying settings instead of retyping them. %1 and %2 are numbers.
inline constexpr const char* kCopyInputSettings = "Kopiuj ustawienia wejścia ...";
inline constexpr const char* kCopyInputTitle = "Kopiowanie ustawień wejścia";
inline constexpr const char* kCopyFrom = "Kopiuj ustawienia wejścia:";
inline constexpr const char* kCopyTo = "do wejść:";
inline constexpr const char* kCopyWhat =
    "Kopiowane są: czas reakcji, blokada wejścia, reakcje wyjść i powiadomienia obu reakcji.";
inline constexpr const char* kCopySpecialWhat =
    "Kopiowane są: reakcje wyjść i powiadomienia obu reakcji.";
inline constexpr const char* kCopyTexts = "Kopiuj także treści wiadomości SMS";
inline constexpr const char* kSelectAll = "Zaznacz wszystkie";
inline constexpr const char* kCopyButton = "Kopiuj";
inline constexpr const char* kCopyInputUndo = "Kopiowanie ustawień wejścia %1";
inline constexpr const char* kCopyTamperUndo = "Kopiowanie ustawień wejścia sabotażowego";
inline constexpr const char* kCopyBlockingUndo = "Kopiowanie ustawień wejścia blokującego";
inline constexpr const char* kNotifyLike = "Powiadamiaj jak ...";
inline constexpr const char* kNotifyLikeTitle = "Powiadamiaj jak";
inline constexpr const char* kNotifyWho = "Użytkownika:";
inline constexpr const char* kNotifyLikeWhom = "powiadamiaj tak jak:";
inline constexpr const char* kNotifyWhat =
    "SMS-y i połączenia przy każdej reakcji wejść, wejść specjalnych i wyjść.";
inline constexpr const char* kUserLabel = "Użytkownik %1";
inline constexpr const char* kNotifyLikeUndo = "Powiadamianie użytkownika %1 jak użytkownika %2";
inline constexpr const char* kNoUserWithNumber =
    "Żaden użytkownik nie ma numeru telefonu: powiadamiać można tylko użytkownika z numerem.";
inline constexpr const char* kNothingCopied = "Nic do skopiowania: ustawienia są już takie same.";

// "Edycja" menu: the undo history. A step is named after the first setting it changes.
inline constexpr const char* kUndo = "Cofnij";
inline constexpr const char* kRedo = "Ponów";
inline constexpr const char* kNamedStep = "%1: %2";  // "Cofnij: Wejście 3 / ..."
// A step that changes no setting the window names (only bytes no control shows).
inline constexpr const char* kHiddenChange = "zmiana ustawień";
// Steps kept at least; each keeps two records, 2.4 KB each.
inline constexpr int kUndoSteps = 200;

// Before unsaved edits would be discarded.
inline constexpr const char* kSaveChangesQuestion = "Zapisać zmiany w ustawieniach?";
inline constexpr const char* kSave = "Zapisz";
inline constexpr const char* kDiscard = "Nie zapisuj";
inline constexpr const char* kCancel = "Anuluj";

// File dialogs.
inline constexpr const char* kSettingsFilesFilter = "pliki zvn (*.zvn)";
inline constexpr const char* kAllFilesFilter = "Wszystkie (*)";
inline constexpr const char* kTraceFileName = "zapis-transmisji.txt";
inline constexpr const char* kTraceFilesFilters = "pliki tekstowe (*.txt);;Wszystkie (*)";

// "Plik" menu: the library of sites. %1 is a site's name.
inline constexpr const char* kSitesMenu = "Obiekty ...";
inline constexpr const char* kSaveInSiteMenu = "Zapisz w obiekcie ...";
inline constexpr const char* kSiteInTitle = "obiekt %1";  // "Tarnik v 1.1 — obiekt Dom"
inline constexpr const char* kOpenSiteUndo = "otwarcie obiektu %1";
inline constexpr const char* kSavedInSite = "Zapisano ustawienia w obiekcie „%1” (wpis %2).";
inline constexpr const char* kUnchangedSinceLatest = "Bez zmian względem ostatniego wpisu obiektu.";
inline constexpr const char* kChangedMeanwhile =
    "Obiekt „%1” został w międzyczasie zmieniony. Zmiany od chwili otwarcia:";
inline constexpr const char* kChangedMeanwhileNote =
    "Ustawienia w oknie pozostają bez zmian. Zapisać je mimo to jako najnowszy wpis obiektu?";
inline constexpr const char* kSaveAnyway = "Zapisz mimo to";
inline constexpr const char* kModuleBelongsTo = "Moduł należy do obiektu „%1”.";
inline constexpr const char* kOpenSiteQuestion = "Otworzyć obiekt „%1”?";
inline constexpr const char* kSiteWhileBusy =
    "Trwa wymiana z modułem; obiekt można otworzyć po jej zakończeniu.";
inline constexpr const char* kRecordingFailed =
    "Wymiany z modułem nie zapisano w historii obiektu „%1”. %2";
// The results an exchange's history entry records.
inline constexpr const char* kResultOk = "OK";
inline constexpr const char* kResultNoAnswer = "brak odpowiedzi z modułu";
inline constexpr const char* kResultBadAnswer = "odpowiedź modułu odrzucona";
inline constexpr const char* kResultPortError = "błąd portu";
inline constexpr const char* kResultDiffers = "moduł różni się od ustawień";

// The library's dialog.
inline constexpr const char* kSitesTitle = "Obiekty";
inline constexpr const char* kLibraryAt = "Biblioteka: %1";
inline constexpr const char* kChangeLibrary = "&Zmień ...";
inline constexpr const char* kChangeLibraryTitle = "Biblioteka obiektów";
inline constexpr const char* kChangeLibraryPrompt =
    "Plik biblioteki albo adres serwera PostgreSQL (postgresql://UŻYTKOWNIK@HOST/BAZA).\n"
    "Puste pole: biblioteka domyślna. Zmiana działa od następnego otwarcia biblioteki.";
inline constexpr const char* kSearch = "&Szukaj:";
inline constexpr const char* kSiteColumns[] = {
    "Nazwa", "Adres", "Numer seryjny", "Telefon", "Ostatnie programowanie", "Ostatnia weryfikacja"};
inline constexpr const char* kNoDate = "-";
inline constexpr const char* kDetailsGroup = "Dane obiektu";
inline constexpr const char* kSiteName = "Nazwa:";
inline constexpr const char* kSiteAddress = "Adres:";
inline constexpr const char* kSiteContact = "Kontakt:";
inline constexpr const char* kSiteNotes = "Uwagi:";
inline constexpr const char* kSiteSerial = "Numer seryjny modułu:";
inline constexpr const char* kSitePhone = "Telefon modułu:";
inline constexpr const char* kSaveDetails = "Zapisz &dane";
inline constexpr const char* kHistoryGroup = "Historia";
inline constexpr const char* kHistoryColumns[] = {"Nr",         "Czas",  "Rodzaj", "Port",
                                                  "Użytkownik", "Wynik", "Zmiany"};
inline constexpr const char* kEntryChanges = "Zmiany we wpisie %1:";
inline constexpr const char* kEntryNoChanges = "Wpis %1: bez zmian ustawień.";
inline constexpr const char* kOpenSite = "&Otwórz";
inline constexpr const char* kCompareEntries = "&Porównaj";
inline constexpr const char* kRemoveSite = "&Usuń obiekt";
inline constexpr const char* kRemoveSiteQuestion =
    "Usunąć obiekt „%1” razem z całą jego historią? Tego nie można cofnąć.";
inline constexpr const char* kEntryColumn = "Wpis %1";
inline constexpr const char* kCompareNeedsTwo =
    "Zaznacz w historii dwa wpisy z ustawieniami, aby je porównać.";

// "Zapisz w obiekcie ...": where to.
inline constexpr const char* kSaveInSiteTitle = "Zapisz w obiekcie";
inline constexpr const char* kExistingSite = "&Istniejący obiekt:";
inline constexpr const char* kNewSite = "&Nowy obiekt";

// Errors: %1 is the file's name, %2 the reason.
inline constexpr const char* kCannotSaveFile = "Nie można zapisać pliku \"%1\". %2";
inline constexpr const char* kRecentFileGone =
    "Plik %1 już nie istnieje; usunięto go z listy ostatnio otwieranych.";

}  // namespace tarnik::window_text
