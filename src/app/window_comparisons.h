#pragma once

// The window's comparisons: "Porównaj z plikiem ..." and "Porównaj z modułem" show
// what differs between the settings the window holds and a file or the module, and
// "Sprawdź po zaprogramowaniu" reads the module back after a successful "programuj"
// and reports in the information list whether it holds what was sent. None of them
// changes anything the window shows.

#include <QObject>
#include <optional>
#include <utility>
#include <vector>

#include "link/link_host.h"
#include "model/setting_comparison.h"

class QAction;
class QMenu;

namespace tarnik {

class TGlownaF;

class WindowComparisons : public QObject {
    Q_OBJECT
public:
    // Adds the three items to `fileMenu` before `before`.
    WindowComparisons(TGlownaF& window, QMenu& fileMenu, QAction* before);

    // Menu handlers; called directly (tests) they raise their errors.
    void compareWithChosenFile();
    void compareWithModule();
    void compareWithFile(const QString& fileName);

    // The window passes on every outcome of the module link.
    void linkFinished(LinkOutcome outcome);

    QAction* compareWithFileAction() const { return fileAction_; }
    QAction* compareWithModuleAction() const { return moduleAction_; }
    QAction* verifyAction() const { return verifyAction_; }
    // "Sprawdź po zaprogramowaniu" will read the module back: the programming just
    // ended is followed by a verification.
    bool verificationPending() const { return pending_ == Pending::Verification; }

signals:
    // The module was read and compared with what the window holds (`afterProgramming`
    // false) or with what was just programmed; the module's image is the window's image.
    void moduleCompared(bool afterProgramming, int differences);

private:
    enum class Pending { None, Comparison, Verification };
    bool refuseWhileBusy();
    void startVerification();
    void showDialog(const std::vector<SettingComparison>& differences, const QString& otherColumn);

    TGlownaF& window_;
    QAction* fileAction_ = nullptr;
    QAction* moduleAction_ = nullptr;
    QAction* verifyAction_ = nullptr;
    Pending pending_ = Pending::None;
    std::optional<EffectiveSettings> expected_;  // what the module is compared with
};

}  // namespace tarnik
