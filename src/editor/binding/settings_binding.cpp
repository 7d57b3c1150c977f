#include "editor/binding/settings_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "editor/binding/control_access.h"
#include "editor/binding/sms_centres.h"
#include "editor/lookup/control_lookup.h"

namespace tarnik {

SettingsBinding::SettingsBinding(QWidget* root, SettingsRecord& record, UserDirectory& users,
                                 OptionRefresh refresh)
    : root_(root), record_(record), users_(users), refresh_(std::move(refresh))
{
}

void SettingsBinding::runOption(int flag) const
{
    if (refresh_.run)
        refresh_.run(flag);
}

void SettingsBinding::ShowSettings()
{
    showSettingSteps();
    RefreshOutputOptions();
}

void SettingsBinding::ShowSettingsAndUserDirectory()
{
    showSettingSteps();
    ShowUserDirectory();
    RefreshOutputOptions();
}

void SettingsBinding::showSettingSteps()
{
    ShowInputTexts();
    ShowReactionTimes();
    ShowBlockTimes();
    ShowUserNumbers();
    ShowOutputs();
    ShowBasicSettings();
}

void SettingsBinding::RefreshOutputOptions()
{
    for (int flag : {0, 2, 1, 3})
        runOption(flag);
}

void SettingsBinding::CollectSettings()
{
    CollectInputTexts();
    CollectReactionTimes();
    CollectBlockTimes();
    CollectUserNumbers();
    CollectOutputs();
    CollectBasicSettings();
}

// ---- basic settings ----

void SettingsBinding::ShowBasicSettings()
{
    ControlAccess c(root_);
    c.setText("EPin", record_.pin);
    auto* centre = c.combo("CBcentrum");
    centre->setCurrentIndex(kOtherSmsCentre);
    c.setText("Ecsms", record_.csms);
    c.setSpin("SEtestokr", record_.testOkr);
    const std::string storedCentre = record_.csms.str();
    for (int i = 0; i < kOtherSmsCentre; ++i)
        if (kSmsCentrePresets[i].number == storedCentre)
            centre->setCurrentIndex(i);
    c.setSpin("SECALL_TIMER", record_.callTimer);
    c.setSpin("SEcallingTimer", record_.callingTimer);
    c.setText("EPINMOD", record_.pinMod);
    c.setBits("ChbClipVerif", 8, record_.clipVerif);
    c.setBits("ChBClipNotVerif", 8, record_.clipNotVerif);
    c.setBits("ChBFlags_", 6, record_.flags);
    c.setSpin("SEInNONCSTAT18", record_.smsConfirmTimer);
    c.setSpin("SEInONstat916", record_.smsAttempts);
    runOption(5);
    runOption(4);
    c.setSpin("SE1190", record_.exitTime);
    c.setSpin("SE1191", record_.entryTime);
    c.setSpin("SE1192", record_.alarmTime);
    c.check("CHB_funkcjaczaswy")->setChecked((blockingExitByte() & 0x01) != 0);
}

void SettingsBinding::CollectBasicSettings()
{
    ControlAccess c(root_);
    c.getText("EPin", record_.pin);
    c.getText("Ecsms", record_.csms);
    record_.callTimer = c.getSpin("SECALL_TIMER");
    record_.callingTimer = c.getSpin("SEcallingTimer");
    c.getText("EPINMOD", record_.pinMod);
    record_.testOkr = c.getSpin("SEtestokr");
    record_.clipVerif = c.getBits("ChbClipVerif", 8);
    record_.clipNotVerif = c.getBits("ChBClipNotVerif", 8);
    record_.flags = c.getBits("ChBFlags_", 6);  // bits 6 and 7 stay clear
    record_.smsConfirmTimer = c.getSpin("SEInNONCSTAT18");
    record_.smsAttempts = c.getSpin("SEInONstat916");
    record_.exitTime = c.getSpin("SE1190");
    record_.entryTime = c.getSpin("SE1191");
    record_.alarmTime = c.getSpin("SE1192");
    std::uint8_t& exitByte = blockingExitByte();
    exitByte = static_cast<std::uint8_t>((exitByte & 0xFE) |
                                         (c.check("CHB_funkcjaczaswy")->isChecked() ? 1 : 0));
}

// ---- SMS centre list ----

void SettingsBinding::FillSmsCentreList()
{
    auto* centre = ControlAccess(root_).combo("CBcentrum");
    const QSignalBlocker quiet(centre);
    centre->clear();
    for (const SmsCentrePreset& preset : kSmsCentrePresets)
        centre->addItem(
            QString::fromUtf8(preset.name.data(), static_cast<qsizetype>(preset.name.size())),
            QString::fromLatin1(preset.number.data(),
                                static_cast<qsizetype>(preset.number.size())));
    centre->setCurrentIndex(0);
}

void SettingsBinding::CBcentrumChange()
{
    ControlAccess c(root_);
    const int index = c.combo("CBcentrum")->currentIndex();
    if (index < 0)
        return;  // typed text that names no preset: the number stays
    auto* number = c.edit("Ecsms");
    if (index == kOtherSmsCentre)
        number->clear();
    else
        number->setText(c.combo("CBcentrum")->itemData(index).toString());
}

void SettingsBinding::connectSmsCentreList()
{
    auto* centre = ControlAccess(root_).combo("CBcentrum");
    centre->setInsertPolicy(QComboBox::NoInsert);
    // activated: the user's choice from the list, or Enter on a typed item name.
    QObject::connect(centre, &QComboBox::activated, centre, [this](int) { CBcentrumChange(); });
    // A typed text that spells a preset's name selects it, as choosing it would.
    QObject::connect(centre->lineEdit(), &QLineEdit::textEdited, centre,
                     [this, centre](const QString& text) {
                         const int index = centre->findText(text, Qt::MatchFixedString);
                         if (index < 0 || index == centre->currentIndex())
                             return;
                         centre->setCurrentIndex(index);
                         CBcentrumChange();
                     });
}

}  // namespace tarnik
