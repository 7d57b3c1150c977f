#include "app/window_report.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
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
    options.showSecrets = showSecrets;
    return tarnik::reportHtml(record, users, options);
}

void WindowReport::saveReportPdf(const QString& fileName, bool showSecrets)
{
    ReportOptions titleOptions;
    titleOptions.fileName = window_.settingsFileName();
    titleOptions.readBackPort = window_.readBackPort();
    const QByteArray pdf = reportPdf(reportHtml(showSecrets), reportTitle(titleOptions));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        throw std::runtime_error(
            QString::fromUtf8(kCannotSaveFile).arg(fileName, file.errorString()).toStdString());
}

void WindowReport::PrintReportClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog preview(&printer, &window_);
    preview.setWindowTitle(QString::fromUtf8(kPrintReport).remove(QStringLiteral(" ...")));

    bool showSecrets = false;
    auto document = reportDocument(reportHtml(showSecrets));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&](QPrinter* target) { guarded(&preview, [&] { printReport(*document, *target); }); });

    // The tick for the secrets and the PDF button, beside the preview's own tools.
    if (auto* tools = preview.findChild<QToolBar*>()) {
        tools->addSeparator();
        auto* secrets = new QCheckBox(QString::fromUtf8(kShowSecrets), tools);
        secrets->setObjectName(QStringLiteral("showSecrets"));
        tools->addWidget(secrets);
        connect(secrets, &QCheckBox::toggled, &preview, [&](bool on) {
            guarded(&preview, [&] {
                showSecrets = on;
                document = reportDocument(reportHtml(showSecrets));
                if (auto* view = preview.findChild<QPrintPreviewWidget*>())
                    view->updatePreview();
            });
        });
        QAction* pdf = tools->addAction(QString::fromUtf8(kSavePdf));
        pdf->setObjectName(QStringLiteral("savePdf"));
        connect(pdf, &QAction::triggered, &preview, [&] {
            guarded(&preview, [&] {
                const QString fileName = QFileDialog::getSaveFileName(
                    &preview, QString::fromUtf8(kSavePdf).remove(QStringLiteral(" ...")), QString(),
                    QString::fromUtf8(kPdfFilter));
                if (!fileName.isEmpty())
                    saveReportPdf(fileName, showSecrets);
            });
        });
    }
    preview.exec();
}

}  // namespace tarnik
