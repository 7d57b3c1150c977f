#include "editor/binding/settings_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "editor/binding/control_access.h"
#include "editor/binding/sms_centres.h"
#include "editor/lookup/control_table.h"

namespace tarnik {

SettingsBinding::SettingsBinding(const ControlTable& controls, SettingsRecord& record,
                                 UserDirectory& users, OptionRefresh refresh)
    : c_(controls), record_(record), users_(users), refresh_(std::move(refresh))
{
}

SettingsBinding::SettingsBinding(QWidget* root, SettingsRecord& record, UserDirectory& users,
                                 OptionRefresh refresh)
    : SettingsBinding(ControlTable(root), record, users, std::move(refresh))
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
    showText(c_.pin, record_.pin);
    c_.centre->setCurrentIndex(kOtherSmsCentre);
    showText(c_.centreNumber, record_.csms);
    showSpin(c_.testOkr, record_.testOkr);
    const std::string storedCentre = record_.csms.str();
    for (int i = 0; i < kOtherSmsCentre; ++i)
        if (kSmsCentrePresets[i].number == storedCentre)
            c_.centre->setCurrentIndex(i);
    showSpin(c_.callTimer, record_.callTimer);
    showSpin(c_.callingTimer, record_.callingTimer);
    showText(c_.smsCode, record_.pinMod);
    showBits(c_.clipVerif, record_.clipVerif);
    showBits(c_.clipNotVerif, record_.clipNotVerif);
    showBits(c_.flags, record_.flags);
    showSpin(c_.smsConfirmTimer, record_.smsConfirmTimer);
    showSpin(c_.smsAttempts, record_.smsAttempts);
    runOption(5);
    runOption(4);
    showSpin(c_.exitTime, record_.exitTime);
    showSpin(c_.entryTime, record_.entryTime);
    showSpin(c_.alarmTime, record_.alarmTime);
    showBit(c_.blockingTimeBit, (blockingExitByte() & 0x01) != 0);
}

void SettingsBinding::CollectBasicSettings()
{
    collectCodeText(c_.pin, record_.pin);
    collectText(c_.centreNumber, record_.csms);
    record_.callTimer = collectSpin(c_.callTimer);
    record_.callingTimer = collectSpin(c_.callingTimer);
    collectCodeText(c_.smsCode, record_.pinMod);
    record_.testOkr = collectSpin(c_.testOkr);
    record_.clipVerif = collectBits(c_.clipVerif);
    record_.clipNotVerif = collectBits(c_.clipNotVerif);
    record_.flags = collectBits(c_.flags);  // bits 6 and 7 stay clear
    record_.smsConfirmTimer = collectSpin(c_.smsConfirmTimer);
    record_.smsAttempts = collectSpin(c_.smsAttempts);
    record_.exitTime = collectSpin(c_.exitTime);
    record_.entryTime = collectSpin(c_.entryTime);
    record_.alarmTime = collectSpin(c_.alarmTime);
    std::uint8_t& exitByte = blockingExitByte();
    exitByte =
        static_cast<std::uint8_t>((exitByte & 0xFE) | (isTicked(c_.blockingTimeBit) ? 1 : 0));
}

// ---- SMS centre list ----

void SettingsBinding::FillSmsCentreList()
{
    QComboBox* centre = c_.centre;
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
    const int index = c_.centre->currentIndex();
    if (index < 0)
        return;  // typed text that names no preset: the number stays
    if (index == kOtherSmsCentre)
        c_.centreNumber->clear();
    else
        c_.centreNumber->setText(c_.centre->itemData(index).toString());
}

void SettingsBinding::connectSmsCentreList()
{
    QComboBox* centre = c_.centre;
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
