#pragma once

// "Plik → Drukuj raport ...": the printable report of the settings the window shows,
// in Qt's print preview, from which it is printed or saved as PDF. A tick in the
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

    // The menu handler: opens the print preview (modal).
    void PrintReportClick();
    // The report of the settings shown now, as HTML.
    QString reportHtml(bool showSecrets);
    // Writes the report of the settings shown now as a PDF file; throws on failure.
    void saveReportPdf(const QString& fileName, bool showSecrets);

    QAction* printAction() const { return action_; }
    // The name the PDF's save dialog offers: the settings file's with ".pdf" (or
    // "raport.pdf"), in the folder of the file dialogs.
    QString suggestedPdfName() const;

private:
    TGlownaF& window_;
    QAction* action_ = nullptr;
};

}  // namespace tarnik
