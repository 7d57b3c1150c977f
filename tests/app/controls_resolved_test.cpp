// The pages' controls are resolved by their composed names once, when the window is
// built: a missing or mistyped name fails then, and the bindings, interlocks and
// dialogs work on the resolved controls afterwards.

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "editor/binding/settings_binding.h"
#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/fconfig_work_we_re.h"
#include "editor/dialogs/reaction_buttons.h"
#include "editor/interlocks/interlocks.h"
#include "editor/lookup/control_table.h"
#include "editor/pages/settings_pages.h"
#include "editor/widgets/spin_edit.h"
#include "model/conversion.h"

namespace tarnik {
namespace {

struct Pages {
    QWidget root;
    SettingsRecord record{};
    UserDirectory users{};
    Pages() { (new QVBoxLayout(&root))->addWidget(buildSettingsPages(&root)); }

    void rename(const char* from, const char* to)
    {
        auto* control = root.findChild<QWidget*>(QString::fromLatin1(from));
        ASSERT_NE(control, nullptr) << from;
        control->setObjectName(QString::fromLatin1(to));
    }
    std::unique_ptr<SettingsBinding> binding()
    {
        return std::make_unique<SettingsBinding>(ControlTable(&root), OptionRefresh{});
    }
};

// Runs `build` and returns the message of the std::logic_error it raised.
template <typename Build>
std::string failureOf(Build build)
{
    try {
        build();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "nothing raised";
}

TEST(ControlTable, FindsByNameIgnoringCaseAndByKind)
{
    Pages p;
    const ControlTable table(&p.root);
    QCheckBox* box = table.check(QStringLiteral("chbclipnotverif3"));
    EXPECT_EQ(box->objectName(), QStringLiteral("ChBClipNotVerif3"));
    EXPECT_EQ(table.spin(QStringLiteral("SETIMERPOD8"))->objectName(),
              QStringLiteral("SEtimerPod8"));
    EXPECT_EQ(table.widget(QStringLiteral("label43"))->objectName(), QStringLiteral("Label43"));
    EXPECT_EQ(failureOf([&] { table.edit(QStringLiteral("ChBFlags_0")); }),
              "no edit box named ChBFlags_0");
    EXPECT_EQ(failureOf([&] { table.widget(QStringLiteral("SEtimerPod9")); }),
              "no control named SEtimerPod9");
}

TEST(ControlsResolvedOnce, AMistypedNameFailsWhenTheBindingIsBuilt)
{
    for (const char* name : {"SEtimerPod3", "ETSpecSMS_We6_Re2", "ChbClipVerif7", "Muser4",
                             "CHB_funkcjaczaswy", "EwylWy2"}) {
        Pages p;
        p.rename(name, "mistyped");
        EXPECT_NE(failureOf([&] { p.binding(); }).find(name), std::string::npos) << name;
    }
}

TEST(ControlsResolvedOnce, AMistypedNameFailsWhenTheInterlocksAreBuilt)
{
    for (const char* name : {"Label47", "ChBClipNotVerif5", "ChBFlags_4", "EZalWy2", "Enruser1"}) {
        Pages p;
        p.rename(name, "mistyped");
        const QString failure = QString::fromStdString(
            failureOf([&] { Interlocks locks(ControlTable(&p.root), &p.root); }));
        EXPECT_TRUE(failure.contains(QString::fromLatin1(name), Qt::CaseInsensitive))
            << name << ": " << failure.toStdString();
    }
}

TEST(ControlsResolvedOnce, AMistypedUserEditFailsWhenTheReactionButtonsAreBuilt)
{
    Pages p;
    TFconfigNumberWeRe numberDialog(&p.root);
    TFConfigWorkWeRe workDialog(&p.root);
    p.rename("Eosoba2", "mistyped");
    EXPECT_NE(failureOf([&] {
                  ReactionButtons buttons(ControlTable(&p.root), &p.root, p.record, numberDialog,
                                          workDialog);
              }).find("Eosoba2"),
              std::string::npos);
}

TEST(ControlsResolvedOnce, ShowAndCollectNoLongerSearchByName)
{
    Pages p;
    auto binding = p.binding();
    Interlocks locks(ControlTable(&p.root), &p.root);
    // Renamed after the binding was built: it still reaches the same controls.
    p.rename("EPin", "renamed1");
    p.rename("SEtimerPod2", "renamed2");
    p.rename("ChBFlags_2", "renamed3");
    SetDefaults(p.record);
    p.record.pin.assign("1234");
    p.record.timerPod[1] = 42;
    p.record.flags = 0x04;
    binding->showFrom(p.record);
    EXPECT_EQ(p.root.findChild<QLineEdit*>("renamed1")->text(), QStringLiteral("1234"));
    EXPECT_EQ(p.root.findChild<SpinEdit*>("renamed2")->value(), 42);
    EXPECT_TRUE(p.root.findChild<QCheckBox*>("renamed3")->isChecked());
    EXPECT_TRUE(p.root.findChild<SpinEdit*>("SEWy_offTimer1")->isEnabled());
    p.root.findChild<QLineEdit*>("renamed1")->setText(QStringLiteral("4321"));
    binding->collectInto(p.record);
    EXPECT_EQ(p.record.pin.str(), "4321");
}

}  // namespace
}  // namespace tarnik
