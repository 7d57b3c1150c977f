// The pages' inventory: names, kinds, captions, limits, visibility, and the
// containers the reaction handlers tell their buttons apart by.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "qt_printers.h"
#include <QVBoxLayout>

#include "editor/lookup/control_lookup.h"
#include "editor/pages/settings_pages.h"
#include "editor/widgets/spin_edit.h"
#include "editor/widgets/typing_limit.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"

namespace {

QString nameOf(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

bool hasAncestor(const QObject* object, const QString& name)
{
    for (const QObject* p = object->parent(); p; p = p->parent())
        if (p->objectName() == name)
            return true;
    return false;
}

struct Pages {
    QWidget root;
    QTabWidget* tabs;
    Pages() : tabs(tarnik::buildSettingsPages(&root))
    {
        (new QVBoxLayout(&root))->addWidget(tabs);
        root.show();
    }
    template <typename T>
    T* get(const QString& name)
    {
        return tarnik::findControl<T>(&root, name);
    }
};

}  // namespace

class PagesTest : public ::testing::Test {
protected:
};

TEST_F(PagesTest, FivePagesInTabOrder)
{
    Pages p;
    const QStringList captions{QStringLiteral("Podstawowe"), QStringLiteral("numery telefonów"),
                               QStringLiteral("Wejścia"), QStringLiteral("Wejścia specjalne"),
                               QStringLiteral("Wyjścia")};
    ASSERT_EQ(p.tabs->objectName(), QStringLiteral("PageControl2"));
    ASSERT_EQ(p.tabs->count(), 5);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(p.tabs->tabText(i), captions.at(i));
        ASSERT_EQ(p.tabs->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
    }
    ASSERT_EQ(p.tabs->currentIndex(), 0);
}

TEST_F(PagesTest, SpinEditsTakeTheModelsRangesAndInitialValues)
{
    Pages p;
    for (const tarnik::SpinLimits& limits : tarnik::spinLimits()) {
        auto* spin = p.get<tarnik::SpinEdit>(nameOf(limits.name));
        ASSERT_EQ(spin->minimum(), limits.minimum);
        ASSERT_EQ(spin->maximum(), limits.maximum);
        ASSERT_EQ(spin->value(), limits.initial);
    }
    ASSERT_EQ(p.get<tarnik::SpinEdit>(QStringLiteral("SEcallingTimer"))->maximum(), 240);
}

TEST_F(PagesTest, EditsTakeTheModelsTypingLimits)
{
    Pages p;
    for (const tarnik::EditLimits& limits : tarnik::editLimits()) {
        const QString name = nameOf(limits.name);
        if (auto* edit = qobject_cast<QLineEdit*>(tarnik::findControlOrNull(&p.root, name))) {
            ASSERT_EQ(tarnik::typingLimit(edit), limits.maxLength);
            ASSERT_EQ(edit->maxLength(), 32767);  // never cuts a text set by the program
        } else {
            ASSERT_TRUE(qobject_cast<QPlainTextEdit*>(tarnik::findControlOrNull(&p.root, name)))
                << qPrintable(name);
        }
    }
}

TEST_F(PagesTest, HiddenControlsExistButAreNeverShown)
{
    Pages p;
    QStringList hidden{QStringLiteral("GroupBox13"),
                       QStringLiteral("SE1190"),
                       QStringLiteral("SE1191"),
                       QStringLiteral("SE1192"),
                       QStringLiteral("CHB_funkcjaczaswy"),
                       QStringLiteral("ChBClipNotVerif7")};
    for (int k : {4, 6})
        for (int r = 1; r <= 2; ++r)
            hidden << QStringLiteral("ETSpecSMS_We%1_Re%2").arg(k).arg(r)
                   << QStringLiteral("BB_ConfigNumerSpecWe%1Re%2").arg(k).arg(r)
                   << QStringLiteral("BBConfigWorkSpecWe%1Re%2").arg(k).arg(r);
    for (int n = 1; n <= 2; ++n)
        for (int r = 1; r <= 2; ++r)
            hidden << QStringLiteral("BB_ConfigNumerSpecWy%1Re%2").arg(n).arg(r);
    for (int i = 0; i < p.tabs->count(); ++i) {
        p.tabs->setCurrentIndex(i);
        for (const QString& name : hidden) {
            ASSERT_TRUE(!p.get<QWidget>(name)->isVisible()) << qPrintable(name);
        }
    }
    p.tabs->setCurrentIndex(0);
    ASSERT_TRUE(p.get<QCheckBox>(QStringLiteral("ChbClipVerif7"))->isVisible());
}

TEST_F(PagesTest, ReactionButtonsSitInTheirContainers)
{
    Pages p;
    for (int k = 1; k <= 8; ++k)
        for (int r = 1; r <= 2; ++r) {
            ASSERT_TRUE(hasAncestor(
                p.get<QPushButton>(QStringLiteral("BB_ConfigNumerWe%1Re%2").arg(k).arg(r)),
                QStringLiteral("ScrollBox1")));
            ASSERT_TRUE(hasAncestor(
                p.get<QPushButton>(QStringLiteral("BBConfigWorkWe%1Re%2").arg(k).arg(r)),
                QStringLiteral("ScrollBox1")));
        }
    for (int k : {3, 4, 5, 6}) {
        ASSERT_TRUE(
            hasAncestor(p.get<QPushButton>(QStringLiteral("BBConfigWorkSpecWe%1Re2").arg(k)),
                        QStringLiteral("TabSheet4")));
    }
    for (int n : {1, 2}) {
        auto* button = p.get<QPushButton>(QStringLiteral("BBConfigWorkSpecWe%1Re1").arg(n));
        ASSERT_TRUE(hasAncestor(button, QStringLiteral("GroupBox11")));
        ASSERT_TRUE(hasAncestor(button, QStringLiteral("TabSheet5")));
        ASSERT_EQ(button->text(), QStringLiteral("załączone"));
    }
}

TEST_F(PagesTest, CaptionsAsTheModuleUserKnowsThem)
{
    Pages p;
    ASSERT_EQ(p.get<QCheckBox>(QStringLiteral("ChbClipVerif2"))->text(),
              QStringLiteral("Wyłacz Wy 1"));
    ASSERT_EQ(p.get<QCheckBox>(QStringLiteral("ChBClipNotVerif2"))->text(),
              QStringLiteral("Wyłącz Wy 1"));
    ASSERT_EQ(p.get<QCheckBox>(QStringLiteral("CHB_funkcjaczaswy"))->text(),
              QStringLiteral("włącz funkcję \"Czas na wyjście\""));
    ASSERT_EQ(p.get<QLabel>(QStringLiteral("Label28"))->text(),
              QStringLiteral("Kod dostępu przez SMS"));
    ASSERT_EQ(p.get<QGroupBox>(QStringLiteral("GroupBox11"))->title(),
              QStringLiteral("Potwierdzenie reakcji wyjścia"));
    ASSERT_EQ(p.get<QPushButton>(QStringLiteral("BB_ConfigNumerSpecWe5Re2"))->text(),
              QStringLiteral("zanik masy"));
    ASSERT_EQ(p.get<QPushButton>(QStringLiteral("BBConfigWorkSpecWe3Re1"))->text(),
              QStringLiteral("SMS/CLIP"));
    ASSERT_EQ(p.get<QPushButton>(QStringLiteral("BBConfigWorkWe8Re2"))->text(),
              QStringLiteral("CLIP/SMS"));
    ASSERT_EQ(p.get<QLineEdit>(QStringLiteral("Ecsms"))->text(), QStringLiteral("Ecsms"));
    ASSERT_TRUE(p.get<QComboBox>(QStringLiteral("CBcentrum"))->isEditable());
    // lookup by a composed name in other letter case
    ASSERT_EQ(p.get<QCheckBox>(QStringLiteral("ChbClipNotVerif3"))->objectName(),
              QStringLiteral("ChBClipNotVerif3"));
}

// Comparisons and the report name the option and CLIP boxes by the catalogue's
// words: they are the boxes' own captions, on the page the place names.
TEST_F(PagesTest, OptionAndClipBoxesCarryTheCataloguesCaptions)
{
    Pages p;
    const std::pair<const char*, const char*> bitSets[] = {
        {"flags", "ChBFlags_"}, {"clipVerif", "ChbClipVerif"}, {"clipNotVerif", "ChBClipNotVerif"}};
    for (const auto& [key, boxPrefix] : bitSets) {
        const tarnik::SettingEntry* entry = tarnik::findSetting(key);
        ASSERT_NE(entry, nullptr) << key;
        ASSERT_EQ(entry->bits.size(), 8u) << key;
        for (const tarnik::BitMeaning& meaning : entry->bits) {
            if (!meaning.shown)
                continue;
            auto* box =
                p.get<QCheckBox>(QString::fromLatin1(boxPrefix) + QString::number(meaning.bit));
            EXPECT_EQ(box->text().toStdString(), meaning.caption) << key << " bit " << meaning.bit;
            const std::string& place = meaning.place.empty() ? entry->label : meaning.place;
            QString page;
            for (int i = 0; i < p.tabs->count(); ++i)
                if (p.tabs->widget(i)->isAncestorOf(box))
                    page = p.tabs->tabText(i);
            EXPECT_TRUE(place.starts_with(page.toStdString() + " / "))
                << key << " bit " << meaning.bit << " is on " << page.toStdString();
        }
    }
}
