#include "app/window_report.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>
#include <QToolBar>

#include <memory>
#include <stdexcept>

#include "app/error_boundary.h"
#include "app/glowna_form.h"
#include "app/window_texts.h"
#include "link/link_engine.h"
#include "report/configuration_report.h"

namespace tarnik {

using namespace window_text;

WindowReport::WindowReport(TGlownaF& window, QMenu& fileMenu, QAction* before)
    : QObject(&window), window_(window)
{
    action_ = new QAction(QString::fromUtf8(kPrintReport), &window);
    action_->setObjectName(QStringLiteral("DrukujRaport"));
    action_->setShortcut(QKeySequence::Print);
    fileMenu.insertAction(before, action_);
    connect(action_, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { PrintReportClick(); }); });
    connect(&window_, &TGlownaF::settingsFileUsed, this,
            [this](const QString& fileName) { settingsPath_ = fileName; });
}

void WindowReport::setHandOverDetails(const QString& site, const QString& address,
                                      const QString& installer)
{
    site_ = site.trimmed();
    address_ = address.trimmed();
    if (installer.trimmed() != installer_) {
        installer_ = installer.trimmed();
        emit installerChanged(installer_);
    }
}

bool WindowReport::askHandOverDetails()
{
    QDialog dialog(&window_);
    dialog.setObjectName(QStringLiteral("handOverDetails"));
    dialog.setWindowTitle(QString::fromUtf8(kHandOverTitle));
    auto* form = new QFormLayout(&dialog);
    form->addRow(new QLabel(QString::fromUtf8(kHandOverNote), &dialog));
    const auto field = [&](const char* caption, const char* name, const QString& text) {
        auto* edit = new QLineEdit(text, &dialog);
        edit->setObjectName(QString::fromUtf8(name));
        edit->setMinimumWidth(320);
        form->addRow(QString::fromUtf8(caption) + QLatin1Char(':'), edit);
        return edit;
    };
    QLineEdit* site = field(kReportSiteCaption, "site", site_);
    QLineEdit* address = field(kReportAddressCaption, "address", address_);
    QLineEdit* installer = field(kReportInstallerCaption, "installer", installer_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setHandOverDetails(site->text(), address->text(), installer->text());
    return true;
}

QString WindowReport::reportHtml(bool showSecrets)
{
    const EffectiveSettings record = window_.programmedSettings();
    const UserDirectory users = window_.shownUsers();
    ReportOptions options;
    options.fileName = window_.settingsFileName();
    options.readBackPort = window_.readBackPort();
    options.date = reportDate();
    options.serialNumber = QString::fromStdString(window_.engine().lastSerialNumber());
    options.site = site_;
    options.address = address_;
    options.installer = installer_;
    // The file's date only while the window names that file (not after a read-back).
    const QFileInfo file(settingsPath_);
    if (options.readBackPort.isEmpty() && !options.fileName.isEmpty() &&
        file.fileName() == options.fileName && file.exists())
        options.fileDate = reportDate(file.lastModified());
    options.showSecrets = showSecrets;
    return tarnik::reportHtml(record, users, options);
}

void WindowReport::saveReportPdf(const QString& fileName, bool showSecrets)
{
    ReportOptions titleOptions;
    titleOptions.site = site_;
    titleOptions.fileName = window_.settingsFileName();
    titleOptions.readBackPort = window_.readBackPort();
    const QByteArray pdf = reportPdf(reportHtml(showSecrets), reportTitle(titleOptions));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        throw std::runtime_error(
            QString::fromUtf8(kCannotSaveFile).arg(fileName, file.errorString()).toStdString());
}

QString WindowReport::suggestedPdfName() const
{
    // The site's name as typed may hold what no file name can: a slash would name a folder.
    QString site = site_;
    for (QChar& c : site)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    const QString settingsFile = window_.settingsFileName();
    const QString base = !site.trimmed().isEmpty() ? site.trimmed()
                         : settingsFile.isEmpty()  ? QString::fromUtf8(kReportFileName)
                                                   : QFileInfo(settingsFile).completeBaseName();
    return QDir(window_.dialogFolder()).filePath(base + QStringLiteral(".pdf"));
}

QString withPdfExtension(const QString& fileName)
{
    return fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
               ? fileName
               : fileName + QStringLiteral(".pdf");
}

void WindowReport::PrintReportClick()
{
    if (!askHandOverDetails())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog preview(&printer, &window_);
    preview.setWindowTitle(QString::fromUtf8(kPrintReport).remove(QStringLiteral(" ...")));

    bool showSecrets = false;
    auto document = reportDocument(reportHtml(showSecrets));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&](QPrinter* target) { guarded(&preview, [&] { printReport(*document, *target); }); });

    // The PDF button and the tick for the secrets head the preview's own tools, so that a
    // narrow screen never hides them in the tool bar's overflow.
    if (auto* tools = preview.findChild<QToolBar*>()) {
        QAction* first = tools->actions().value(0);
        auto* secrets = new QCheckBox(QString::fromUtf8(kShowSecrets), tools);
        secrets->setObjectName(QStringLiteral("showSecrets"));
        connect(secrets, &QCheckBox::toggled, &preview, [&](bool on) {
            guarded(&preview, [&] {
                showSecrets = on;
                document = reportDocument(reportHtml(showSecrets));
                if (auto* view = preview.findChild<QPrintPreviewWidget*>())
                    view->updatePreview();
            });
        });
        auto* pdf = new QAction(QString::fromUtf8(kSavePdf), tools);
        pdf->setObjectName(QStringLiteral("savePdf"));
        tools->insertAction(first, pdf);
        tools->insertWidget(first, secrets);
        tools->insertSeparator(first);
        connect(pdf, &QAction::triggered, &preview, [&] {
            guarded(&preview, [&] {
                const QString fileName = QFileDialog::getSaveFileName(
                    &preview, QString::fromUtf8(kSavePdf).remove(QStringLiteral(" ...")),
                    suggestedPdfName(), QString::fromUtf8(kPdfFilter));
                if (!fileName.isEmpty())
                    saveReportPdf(withPdfExtension(fileName), showSecrets);
            });
        });
    }
    preview.exec();
}

}  // namespace tarnik
