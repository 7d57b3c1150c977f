#include "editor/pages/control_limits.h"

#include <QLineEdit>

#include "editor/lookup/control_table.h"
#include "editor/widgets/spin_edit.h"
#include "editor/widgets/typing_limit.h"
#include "model/value_ranges.h"

namespace tarnik {

namespace {

QString nameOf(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

void applyControlLimits(QWidget* root)
{
    const ControlTable controls(root);
    for (const EditLimits& limits : editLimits()) {
        if (limits.maxLength == kNoMaxLength)
            continue;
        setTypingLimit(controls.edit(nameOf(limits.name)), limits.maxLength);
    }
    for (const SpinLimits& limits : spinLimits()) {
        SpinEdit* spin = controls.spin(nameOf(limits.name));
        spin->setLimits(limits.minimum, limits.maximum, limits.maxLength);
        spin->setValue(limits.initial);
    }
}

}  // namespace tarnik
