#pragma once

// "Plik → Drukuj raport ...": the printable report of the settings the window shows,
// in Qt's print preview, from which it is printed or saved as PDF. A small dialog first
// asks for the site, its address and the installer (the installer is remembered). A tick in the
// preview's tool bar shows the SIM PIN, the SMS access code and the output codes,
// which are "****" otherwise. The title names where the settings came from (the file
// last opened or saved, or the port of a read-back) and the module's serial number when
// one was read in this session.

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace tarnik {

class TGlownaF;

// `fileName` with ".pdf" added unless it ends so already (any case).
QString withPdfExtension(const QString& fileName);

class WindowReport : public QObject {
    Q_OBJECT
public:
    // Adds the item to `fileMenu` before `before`.
    WindowReport(TGlownaF& window, QMenu& fileMenu, QAction* before);

    // The menu handler: asks for the hand-over details, then opens the print preview
    // (both modal); nothing opens when the details are cancelled.
    void PrintReportClick();
    // The small dialog asking for the site, its address and the installer, filled
    // with the last ones given; false when cancelled.
    bool askHandOverDetails();
    // The hand-over details the report's header prints.
    void setHandOverDetails(const QString& site, const QString& address, const QString& installer);
    QString installer() const { return installer_; }
    // The report of the settings shown now, as HTML.
    QString reportHtml(bool showSecrets);
    // Writes the report of the settings shown now as a PDF file; throws on failure.
    void saveReportPdf(const QString& fileName, bool showSecrets);

    QAction* printAction() const { return action_; }

signals:
    // The installer was given anew; the user's conveniences remember it.
    void installerChanged(const QString& installer);

public:
    // The name the PDF's save dialog offers: the site's with ".pdf" (slashes and control
    // characters as "_"), else the settings file's (or "raport.pdf"), in the folder of the
    // file dialogs.
    QString suggestedPdfName() const;

private:
    TGlownaF& window_;
    QAction* action_ = nullptr;
    QString site_;
    QString address_;
    QString installer_;
    QString settingsPath_;  // the settings file last opened or saved, with its folder
};

}  // namespace tarnik
