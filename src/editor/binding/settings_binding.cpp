#include "editor/binding/settings_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "editor/binding/control_access.h"
#include "editor/binding/sms_centres.h"
#include "editor/lookup/control_table.h"

namespace tarnik {

namespace {

// The output-reaction byte of the blocking input's reaction 2, whose bit 0
// CHB_funkcjaczaswy shows.
template <typename Record>
auto& blockingExitByte(Record& record)
{
    return record.numberSpecWeRe[4][1];
}

}  // namespace

SettingsBinding::SettingsBinding(const ControlTable& controls, OptionRefresh refresh)
    : c_(controls), refresh_(std::move(refresh))
{
}

void SettingsBinding::runOption(Option option) const
{
    if (refresh_.run)
        refresh_.run(option);
}

void SettingsBinding::showFrom(const SettingsRecord& record)
{
    showSettingSteps(record);
    refreshOutputOptions();
}

void SettingsBinding::showFrom(const SettingsRecord& record, const UserDirectory& users)
{
    showSettingSteps(record);
    ShowUserDirectory(users);
    refreshOutputOptions();
}

void SettingsBinding::showSettingSteps(const SettingsRecord& record)
{
    ShowInputTexts(record);
    ShowReactionTimes(record);
    ShowBlockTimes(record);
    ShowUserNumbers(record);
    ShowOutputs(record);
    ShowBasicSettings(record);
}

void SettingsBinding::refreshOutputOptions()
{
    for (Option option :
         {Option::SmsOutput1, Option::TimedOff1, Option::SmsOutput2, Option::TimedOff2})
        runOption(option);
}

void SettingsBinding::collectInto(SettingsRecord& record) const
{
    CollectInputTexts(record);
    CollectReactionTimes(record);
    CollectBlockTimes(record);
    CollectUserNumbers(record);
    CollectOutputs(record);
    CollectBasicSettings(record);
}

// ---- basic settings ----

void SettingsBinding::ShowBasicSettings(const SettingsRecord& record)
{
    showText(c_.pin, record.pin);
    c_.centre->setCurrentIndex(kOtherSmsCentre);
    showText(c_.centreNumber, record.csms);
    showSpin(c_.testOkr, record.testOkr);
    const std::string storedCentre = record.csms.str();
    for (int i = 0; i < kOtherSmsCentre; ++i)
        if (kSmsCentrePresets[i].number == storedCentre)
            c_.centre->setCurrentIndex(i);
    showSpin(c_.callTimer, record.callTimer);
    showSpin(c_.callingTimer, record.callingTimer);
    showText(c_.smsCode, record.pinMod);
    showBits(c_.clipVerif, record.clipVerif);
    showBits(c_.clipNotVerif, record.clipNotVerif);
    showBits(c_.flags, record.flags);
    showSpin(c_.smsConfirmTimer, record.smsConfirmTimer);
    showSpin(c_.smsAttempts, record.smsAttempts);
    runOption(Option::SmsProgram);
    runOption(Option::Report);
    showSpin(c_.exitTime, record.exitTime);
    showSpin(c_.entryTime, record.entryTime);
    showSpin(c_.alarmTime, record.alarmTime);
    showBit(c_.blockingTimeBit, (blockingExitByte(record) & 0x01) != 0);
}

void SettingsBinding::CollectBasicSettings(SettingsRecord& record) const
{
    collectCodeText(c_.pin, record.pin);
    collectText(c_.centreNumber, record.csms);
    record.callTimer = collectSpin(c_.callTimer);
    record.callingTimer = collectSpin(c_.callingTimer);
    collectCodeText(c_.smsCode, record.pinMod);
    record.testOkr = collectSpin(c_.testOkr);
    record.clipVerif = collectBits(c_.clipVerif);
    record.clipNotVerif = collectBits(c_.clipNotVerif);
    record.flags = collectBits(c_.flags);  // bits 6 and 7 stay clear
    record.smsConfirmTimer = collectSpin(c_.smsConfirmTimer);
    record.smsAttempts = collectSpin(c_.smsAttempts);
    record.exitTime = collectSpin(c_.exitTime);
    record.entryTime = collectSpin(c_.entryTime);
    record.alarmTime = collectSpin(c_.alarmTime);
    std::uint8_t& exitByte = blockingExitByte(record);
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
