#include "app/window_comparisons.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "app/comparison_dialog.h"
#include "app/error_boundary.h"
#include "app/file_chooser.h"
#include "app/glowna_form.h"
#include "app/window_texts.h"
#include "file/settings_file.h"
#include "link/link_engine.h"
#include "link/protocol.h"
#include "link/verification.h"

namespace tarnik {

using namespace window_text;

WindowComparisons::WindowComparisons(TGlownaF& window, QMenu& fileMenu, QAction* before)
    : QObject(&window), window_(window)
{
    fileAction_ = new QAction(QString::fromUtf8(kCompareWithFile), &window);
    fileAction_->setObjectName(QStringLiteral("PorownajZPlikiem"));
    moduleAction_ = new QAction(QString::fromUtf8(kCompareWithModule), &window);
    moduleAction_->setObjectName(QStringLiteral("PorownajZModulem"));
    verifyAction_ = new QAction(QString::fromUtf8(kVerifyAfterProgramming), &window);
    verifyAction_->setObjectName(QStringLiteral("SprawdzPoZaprogramowaniu"));
    verifyAction_->setCheckable(true);
    verifyAction_->setChecked(false);
    fileMenu.insertActions(before, {fileAction_, moduleAction_, verifyAction_});

    connect(fileAction_, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { compareWithChosenFile(); }); });
    connect(moduleAction_, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { compareWithModule(); }); });
}

void WindowComparisons::compareWithChosenFile()
{
    const QString fileName =
        window_.fileChooser().chooseOpenFile(&window_, window_.openDialogFileName());
    if (!fileName.isEmpty())
        compareWithFile(fileName);
}

void WindowComparisons::compareWithFile(const QString& fileName)
{
    SettingsRecord fileRecord{};
    UserDirectory fileUsers{};
    LoadSettingsFile(fileName, fileRecord, fileUsers);
    showDialog(compareSettings(window_.programmedSettings(), window_.shownUsers(),
                               effectiveSettings(fileRecord), fileUsers),
               QString::fromUtf8(kFileColumn));
}

bool WindowComparisons::refuseWhileBusy()
{
    if (!window_.engine().exchangeRunning())
        return false;
    window_.addInfoLine(kComparisonBusy, true);
    return true;
}

void WindowComparisons::compareWithModule()
{
    if (refuseWhileBusy())
        return;
    expected_ = window_.programmedSettings();
    pending_ = Pending::Comparison;
    try {
        window_.readModuleImage();
    } catch (...) {
        pending_ = Pending::None;
        throw;
    }
}

void WindowComparisons::startVerification()
{
    if (pending_ != Pending::Verification)
        return;
    if (refuseWhileBusy()) {
        pending_ = Pending::None;
        return;
    }
    guarded(&window_, [this] { window_.readModuleImage(); });
}

void WindowComparisons::linkFinished(LinkOutcome outcome)
{
    const Pending pending = std::exchange(pending_, Pending::None);
    if (outcome == LinkOutcome::ModuleRead) {
        if (!expected_)
            return;  // a read-back nobody asked for here
        const auto differences =
            compareWithModuleImage(*expected_, window_.image(), protocol::kSentImageBytes);
        if (pending != Pending::None)
            emit moduleCompared(pending == Pending::Verification,
                                static_cast<int>(differences.size()));
        if (pending == Pending::Verification)
            window_.addInfoLine(verificationLine(differences.size()), true);
        else if (pending == Pending::Comparison)
            // Shown once the answer handler has returned.
            QTimer::singleShot(0, this, [this, differences] {
                showDialog(differences, QString::fromUtf8(kModuleColumn));
            });
        return;
    }
    if (pending == Pending::Verification &&
        (outcome == LinkOutcome::NoAnswer || outcome == LinkOutcome::BadAnswer ||
         outcome == LinkOutcome::PortError)) {
        // The failure line above may read as if programming failed: it did not.
        window_.addInfoLine(readBackFailedLine(outcome), true);
        return;
    }
    if (outcome == LinkOutcome::Programmed && verifyAction_->isChecked()) {
        // What was just programmed; the read-back reopens the port, so it starts once
        // the answer handler has returned.
        expected_ = effectiveSettings(window_.settings());
        pending_ = Pending::Verification;
        QTimer::singleShot(0, this, [this] { startVerification(); });
    }
}

void WindowComparisons::showDialog(const std::vector<SettingComparison>& differences,
                                   const QString& otherColumn)
{
    auto* dialog = new ComparisonDialog(differences, otherColumn, &window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

}  // namespace tarnik
