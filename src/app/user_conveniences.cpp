#include "app/user_conveniences.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/error_boundary.h"
#include "app/glowna_form.h"
#include "app/port_combo_box.h"
#include "app/window_fit.h"
#include "app/window_report.h"
#include "app/window_sites.h"
#include "app/window_texts.h"

namespace tarnik {

namespace {

const QString kPortKey = QStringLiteral("port/last");
const QString kGeometryKey = QStringLiteral("window/geometry");
// The frame's rectangle on the desktop when the window was closed: whether the
// place still fits the screens present is judged by it.
const QString kFrameKey = QStringLiteral("window/frame");
const QString kFolderKey = QStringLiteral("files/lastFolder");
const QString kRecentKey = QStringLiteral("files/recent");
const QString kInstallerKey = QStringLiteral("report/installer");
// The library of sites the user chose in "Obiekty ...": a file or a postgresql:// URI.
const QString kLibraryKey = QStringLiteral("library");

}  // namespace

std::unique_ptr<QSettings> userSettingsStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QApplication::organizationName(),
                                       QApplication::applicationName());
}

UserConveniences::UserConveniences(TGlownaF& window, std::unique_ptr<QSettings> store,
                                   bool restorePort)
    : window_(window), store_(std::move(store)), recent_(store_->value(kRecentKey).toStringList()),
      menu_(window.recentFilesMenu())
{
    restore(restorePort);
    rebuildMenu();
    connect(&window_, &TGlownaF::settingsFileUsed, this, &UserConveniences::fileUsed);
    connect(&window_, &TGlownaF::exchangeSucceeded, this, &UserConveniences::exchangeSucceeded);
    connect(&window_.report(), &WindowReport::installerChanged, this,
            [this](const QString& installer) {
                store_->setValue(kInstallerKey, installer);
                store_->sync();
            });
    connect(&window_.sites(), &WindowSites::librarySettingChanged, this,
            [this](const QString& setting) {
                store_->setValue(kLibraryKey, setting);
                store_->sync();
            });
    window_.installEventFilter(this);
}

UserConveniences::~UserConveniences()
{
    window_.removeEventFilter(this);
}

void UserConveniences::restore(bool restorePort)
{
    // A value of the wrong kind reads as empty, and garbage geometry is refused
    // by restoreGeometry: the window then keeps its own size and place. A place
    // that no longer lies wholly on a screen (a smaller screen, a screen
    // removed) gives way to the centre of the screen; the size stays, as far as
    // the screen has room.
    if (window_.restoreGeometry(store_->value(kGeometryKey).toByteArray())) {
        QRect frame = store_->value(kFrameKey).toRect();
        if (!frame.isValid())
            frame = window_.geometry().marginsAdded(windowFrame(window_));
        if (window_.isMaximized() || window_.isFullScreen() || fitsOnAScreen(frame))
            window_.keepPlacement();
        else
            window_.placeCentred(window_.size());
    }
    WindowReport& report = window_.report();
    report.setHandOverDetails({}, {}, store_->value(kInstallerKey).toString());
    window_.sites().setLibrarySetting(store_->value(kLibraryKey).toString());
    const QString folder = store_->value(kFolderKey).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        window_.setDialogFolder(folder);
    if (restorePort) {
        PortComboBox& ports = window_.portList();
        const int index = ports.findText(store_->value(kPortKey).toString());
        if (index >= 0)
            ports.setCurrentIndex(index);
    }
}

void UserConveniences::fileUsed(const QString& fileName)
{
    const QString folder = QFileInfo(fileName).absolutePath();
    window_.setDialogFolder(folder);
    store_->setValue(kFolderKey, folder);
    recent_.add(fileName);
    keepRecentFiles();
}

void UserConveniences::exchangeSucceeded(const QString& portName)
{
    if (portName.isEmpty() || window_.portList().isPinned(portName))
        return;
    store_->setValue(kPortKey, portName);
    store_->sync();
}

void UserConveniences::openRecent(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile()) {
        recent_.remove(fileName);
        keepRecentFiles();
        showErrorMessage(&window_, QString::fromUtf8(window_text::kRecentFileGone)
                                       .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    guarded(&window_, [this, fileName] { window_.openChosenFile(fileName); });
}

bool UserConveniences::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Close)
        keepGeometry();
    return QObject::eventFilter(watched, event);
}

void UserConveniences::keepGeometry()
{
    store_->setValue(kGeometryKey, window_.saveGeometry());
    store_->setValue(kFrameKey, window_.frameGeometry());
    store_->sync();
}

void UserConveniences::keepRecentFiles()
{
    store_->setValue(kRecentKey, recent_.files());
    store_->sync();
    rebuildMenu();
}

void UserConveniences::rebuildMenu()
{
    menu_->clear();
    const QStringList files = recent_.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString& fileName = files.at(i);
        // "&1 dom.zvn   (/home/...)": the number is the keyboard choice; an & of a name stays.
        auto plain = [](QString text) {
            return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        };
        QAction* action = menu_->addAction(QStringLiteral("&%1 %2   (%3)")
                                               .arg(i + 1)
                                               .arg(plain(QFileInfo(fileName).fileName()),
                                                    plain(QDir::toNativeSeparators(fileName))));
        action->setData(fileName);
        connect(action, &QAction::triggered, this, [this, fileName] {
            // The menu is rebuilt by what the choice does; finish the signal first.
            QMetaObject::invokeMethod(
                this, [this, fileName] { openRecent(fileName); }, Qt::QueuedConnection);
        });
    }
    menu_->setEnabled(!files.isEmpty());
}

}  // namespace tarnik
