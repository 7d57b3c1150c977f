// The window's first place on a real X display with a real window manager (run by
// tests/support/with_openbox.sh, whose openbox leaves panels' room at the top and the
// bottom). Where the window manager has put the frame is read from the X server
// (xwininfo, and _NET_FRAME_EXTENTS and _NET_WORKAREA through xprop), not from Qt. On
// first start and wherever a remembered place no longer lies on the screen, the whole
// frame, title bar included, is inside the free area and centred on it; a remembered
// place that still fits is kept.

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <optional>

#include "app/sites_dialog.h"
#include "app/user_conveniences.h"
#include "app/window_sites.h"
#include "event_loop.h"
#include "model/value_ranges.h"
#include "qt_printers.h"
#include "window_fixture.h"

namespace {

QString output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The numbers after "NAME(CARDINAL) = " in xprop's answer.
QList<int> cardinals(const QString& xpropAnswer)
{
    QList<int> numbers;
    const qsizetype equals = xpropAnswer.indexOf(QLatin1Char('='));
    if (equals < 0)
        return numbers;
    for (const QString& part : xpropAnswer.mid(equals + 1).split(QLatin1Char(','))) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok)
            return {};
        numbers << n;
    }
    return numbers;
}

// The free area of the first desktop, as the window manager publishes it.
std::optional<QRect> workArea()
{
    const QList<int> n = cardinals(output("xprop", {"-root", "_NET_WORKAREA"}));
    if (n.size() < 4)
        return std::nullopt;
    return QRect(n[0], n[1], n[2], n[3]);
}

// The frame the window manager drew around `window`: left, right, top, bottom.
std::optional<QMargins> frameExtents(WId window)
{
    const QList<int> n =
        cardinals(output("xprop", {"-id", QString::number(window), "_NET_FRAME_EXTENTS"}));
    if (n.size() != 4)
        return std::nullopt;
    return QMargins(n[0], n[2], n[1], n[3]);
}

// The window's inside on the screen, as the X server has it.
std::optional<QRect> insideOnScreen(WId window)
{
    const QString info = output("xwininfo", {"-id", QString::number(window)});
    auto field = [&info](const char* label) -> std::optional<int> {
        const QRegularExpression line(QStringLiteral("%1:\\s*(-?\\d+)").arg(label));
        const QRegularExpressionMatch match = line.match(info);
        return match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
    };
    const auto x = field("Absolute upper-left X");
    const auto y = field("Absolute upper-left Y");
    const auto width = field("Width");
    const auto height = field("Height");
    if (!x || !y || !width || !height)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

// The frame's rectangle once the window manager has framed and placed `window` and Qt
// has heard where: the extents are published and the X server's place of the inside is
// the one Qt holds. The bound only guards against a hang.
std::optional<QRect> frameOnScreen(QWidget& window)
{
    std::optional<QRect> frame;
    tarnik::test::pumpUntil(
        [&] {
            const auto extents = frameExtents(window.winId());
            const auto inside = insideOnScreen(window.winId());
            if (extents && inside && *inside == window.geometry())
                frame = inside->marginsAdded(*extents);
            return frame.has_value();
        },
        std::chrono::seconds(60));
    return frame;
}

struct Place {
    const char* name;
    // The remembered inside, from the screen's width and height; none: a first start.
    std::optional<QRect> (*remembered)(QSize screen);
    bool kept;  // the remembered place fits and is kept
};

const Place kPlaces[] = {
    {"first start", [](QSize) -> std::optional<QRect> { return std::nullopt; }, false},
    {"on a screen since removed, to the right",
     [](QSize s) -> std::optional<QRect> { return QRect(s.width() + 300, 100, 800, 600); }, false},
    {"cut by a smaller screen",
     [](QSize s) -> std::optional<QRect> {
         return QRect(s.width() - 400, s.height() - 300, 800, 600);
     },
     false},
    {"above the screen", [](QSize) -> std::optional<QRect> { return QRect(200, -400, 800, 600); },
     false},
    {"larger than the screen",
     [](QSize s) -> std::optional<QRect> { return QRect(0, 0, s.width() + 500, s.height() + 300); },
     false},
    {"inside the free area", [](QSize) -> std::optional<QRect> { return QRect(60, 90, 800, 560); },
     true},
};

void PrintTo(const Place& place, std::ostream* out)
{
    *out << place.name;
}

class FrameOnScreen : public ::testing::TestWithParam<Place> {
protected:
    QTemporaryDir folder;
    std::unique_ptr<QSettings> store() const
    {
        return std::make_unique<QSettings>(folder.filePath(QStringLiteral("Tarnik.conf")),
                                           QSettings::IniFormat);
    }
};

TEST_P(FrameOnScreen, WholeFrameInsideTheFreeArea)
{
    const Place& place = GetParam();
    const std::optional<QRect> area = workArea();
    ASSERT_TRUE(area.has_value()) << "no _NET_WORKAREA";
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const std::optional<QRect> remembered = place.remembered(screen);
    if (remembered) {
        // Kept as the program keeps it when the window closes.
        WindowFixture last;
        tarnik::UserConveniences conveniences(last.window(), store(), false);
        last.window().setGeometry(*remembered);
        last.window().close();
    }

    WindowFixture f;
    tarnik::UserConveniences conveniences(f.window(), store(), false);
    f.window().show();
    const std::optional<QRect> frame = frameOnScreen(f.window());
    ASSERT_TRUE(frame.has_value()) << "the window was not framed";

    EXPECT_TRUE(area->contains(*frame)) << "frame " << *frame << " free area " << *area;
    if (place.kept) {
        EXPECT_EQ(f.window().geometry().topLeft(), remembered->topLeft());
        return;
    }
    // Centred by a frame guessed before the window manager drew it: off by at most the
    // difference between the guess and the frame drawn.
    const std::optional<QMargins> extents = frameExtents(f.window().winId());
    ASSERT_TRUE(extents.has_value());
    const int slack = std::max({extents->left(), extents->right(), extents->top(), 30});
    EXPECT_LE(std::abs(frame->center().x() - area->center().x()), slack) << *frame;
    EXPECT_LE(std::abs(frame->center().y() - area->center().y()), slack) << *frame;
}

// "Obiekty ..." on the same screen: the dialog's frame inside the free area, at a size
// no smaller than its layout needs. With TARNIK_SITES_PICTURE naming a PNG file, the
// screen as it is then is saved there (for looking at it).
TEST(SitesDialogOnScreen, WholeFrameInsideTheFreeArea)
{
    const std::optional<QRect> area = workArea();
    ASSERT_TRUE(area.has_value()) << "no _NET_WORKAREA";
    QTemporaryDir folder;
    WindowFixture f;
    tarnik::WindowSites& sites = f.window().sites();
    sites.setLibraryOption(folder.filePath(QStringLiteral("obiekty.sqlite")));
    const char* names[] = {"Apteka Pod Lipami", "Dom Kowalskich", "Szkoła Podstawowa nr 3"};
    for (const char* name : names) {
        tarnik::sites::SiteDetails details;
        details.name = QString::fromUtf8(name);
        details.address = QStringLiteral("ul. Długa 12, 00-950 Warszawa");
        details.serialNumber = QStringLiteral("ZVN%1").arg(qHash(details.name) % 10000);
        sites.saveInNewSite(details);
    }
    f.window().show();
    sites.openSitesDialog();
    tarnik::SitesDialog* dialog = sites.dialog();
    ASSERT_NE(dialog, nullptr);
    dialog->chooseSite(QStringLiteral("Dom Kowalskich"));
    const std::optional<QRect> frame = frameOnScreen(*dialog);
    ASSERT_TRUE(frame.has_value()) << "the dialog was not framed";
    EXPECT_TRUE(area->contains(*frame)) << "frame " << *frame << " free area " << *area;
    EXPECT_GE(dialog->width(), dialog->minimumSizeHint().width());
    EXPECT_GE(dialog->height(), dialog->minimumSizeHint().height());
    EXPECT_EQ(dialog->sitesTable()->rowCount(), 3);
    if (const QByteArray picture = qgetenv("TARNIK_SITES_PICTURE"); !picture.isEmpty()) {
        tarnik::test::pumpUntil([] { return false; }, std::chrono::milliseconds(500));
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(picture));
    }
}

INSTANTIATE_TEST_SUITE_P(Places, FrameOnScreen, ::testing::ValuesIn(kPlaces),
                         [](const ::testing::TestParamInfo<Place>& param) {
                             QString name = QString::fromLatin1(param.param.name);
                             name.replace(QRegularExpression(QStringLiteral("[^A-Za-z]+")),
                                          QStringLiteral("_"));
                             return name.toStdString();
                         });

}  // namespace
