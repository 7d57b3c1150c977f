#include "editor/dialogs/fconfig_number_we_re.h"

#include <QCheckBox>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "editor/dialogs/output_reaction_bits.h"
#include "ui_fconfig_number_we_re.h"

namespace tarnik {

TFconfigNumberWeRe::TFconfigNumberWeRe(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFconfigNumberWeRe>())
{
    ui_->setupUi(this);
    boxes_ = {ui_->ChBNoActiv, ui_->ChBOFFWY2iN,   ui_->ChBonWy2In,    ui_->ChBOFFwy1In,
              ui_->ChBONwy1IN, ui_->ChBTimeOFFWy2, ui_->ChBTimeOFFWy1, ui_->ChBTimeRaport};
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->objectName() != QLatin1String(kOutputReactionBoxes[i].name))
            throw std::logic_error("output-reaction boxes out of order");
    // toggled, not clicked: a state set by the program fires the handler too.
    connect(ui_->ChBNoActiv, &QCheckBox::toggled, this, &TFconfigNumberWeRe::ChBNoActivClick);
    connect(ui_->ChBONwy1IN, &QCheckBox::toggled, this, &TFconfigNumberWeRe::ChBONwy1INClick);
    connect(ui_->ChBOFFwy1In, &QCheckBox::toggled, this, &TFconfigNumberWeRe::ChBOFFwy1InClick);
    connect(ui_->ChBonWy2In, &QCheckBox::toggled, this, &TFconfigNumberWeRe::ChBonWy2InClick);
    connect(ui_->ChBOFFWY2iN, &QCheckBox::toggled, this, &TFconfigNumberWeRe::ChBOFFWY2iNClick);
}

TFconfigNumberWeRe::~TFconfigNumberWeRe() = default;

QCheckBox* TFconfigNumberWeRe::box(const char* name) const
{
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (std::strcmp(kOutputReactionBoxes[i].name, name) == 0)
            return boxes_[i];
    throw std::logic_error(std::string("no check box named ") + name);
}

QCheckBox* TFconfigNumberWeRe::reportBox() const
{
    return ui_->ChBTimeRaport;
}

QCheckBox* TFconfigNumberWeRe::timedOffBox(int output) const
{
    if (output != 1 && output != 2)
        throw std::out_of_range("output number out of range");
    return output == 1 ? ui_->ChBTimeOFFWy1 : ui_->ChBTimeOFFWy2;
}

void TFconfigNumberWeRe::setFromByte(std::uint8_t b)
{
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setChecked((b & kOutputReactionBoxes[i].mask) != 0);
}

std::uint8_t TFconfigNumberWeRe::resultByte() const
{
    std::uint8_t ticked = 0;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->isChecked())
            ticked |= kOutputReactionBoxes[i].mask;
    return outputReactionByte(ticked);
}

void TFconfigNumberWeRe::ChBNoActivClick()
{
    busy_ = true;
    const bool inactive = ui_->ChBNoActiv->isChecked();
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (kOutputReactionBoxes[i].mask != kNoReaction)
            boxes_[i]->setEnabled(!inactive);
    // A box ticked while the options were inactive still excludes its partner.
    if (!inactive)
        for (auto [first, second] : {std::pair{ui_->ChBONwy1IN, ui_->ChBOFFwy1In},
                                     std::pair{ui_->ChBonWy2In, ui_->ChBOFFWY2iN}}) {
            if (first->isChecked())
                second->setEnabled(false);
            if (second->isChecked())
                first->setEnabled(false);
        }
    if (inactive) {
        // The report box keeps its state, only disabled; the byte is 0x80 anyway.
        for (QCheckBox* cleared : {ui_->ChBONwy1IN, ui_->ChBOFFwy1In, ui_->ChBonWy2In,
                                   ui_->ChBOFFWY2iN, ui_->ChBTimeOFFWy1, ui_->ChBTimeOFFWy2})
            cleared->setChecked(false);
    }
    busy_ = false;
}

// Switching an output on and switching it off exclude each other: the partner
// is enabled exactly while `own` is clear, and cleared when it is disabled.
void TFconfigNumberWeRe::excludePair(QCheckBox* own, QCheckBox* other)
{
    if (busy_)
        return;
    other->setEnabled(!own->isChecked());
    if (!other->isEnabled())
        other->setChecked(false);
}

void TFconfigNumberWeRe::ChBONwy1INClick()
{
    excludePair(ui_->ChBONwy1IN, ui_->ChBOFFwy1In);
}
void TFconfigNumberWeRe::ChBOFFwy1InClick()
{
    excludePair(ui_->ChBOFFwy1In, ui_->ChBONwy1IN);
}
void TFconfigNumberWeRe::ChBonWy2InClick()
{
    excludePair(ui_->ChBonWy2In, ui_->ChBOFFWY2iN);
}
void TFconfigNumberWeRe::ChBOFFWY2iNClick()
{
    excludePair(ui_->ChBOFFWY2iN, ui_->ChBonWy2In);
}

}  // namespace tarnik
