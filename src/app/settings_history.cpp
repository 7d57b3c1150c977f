#include "app/settings_history.h"

#include "app/window_texts.h"
#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

// The id of steps typed into a text field; the others never merge.
constexpr int kTypingStep = 1;

}  // namespace

QString changeName(const ShownSettings& before, const ShownSettings& after)
{
    const auto changed = differingSettings(before.record, before.users, after.record, after.users);
    if (changed.empty())
        return QString::fromUtf8(window_text::kHiddenChange);
    const std::vector<std::string> parts = labelParts(changed.front()->label);
    std::string name;
    for (std::size_t i = parts.size() > 1 ? 1 : 0; i < parts.size(); ++i)
        name += (name.empty() ? "" : kLabelSeparator) + parts[i];
    return QString::fromStdString(name);
}

SettingsEditCommand::SettingsEditCommand(std::function<void(const ShownSettings&)> show,
                                         ShownSettings before, ShownSettings after,
                                         const QString& name, QObject* typedInto, int typingRun)
    : QUndoCommand(name), show_(std::move(show)), before_(before), after_(after),
      typedInto_(typedInto), typingRun_(typingRun)
{
}

void SettingsEditCommand::redo()
{
    if (std::exchange(pushed_, true))
        show_(after_);
}

void SettingsEditCommand::undo()
{
    show_(before_);
}

int SettingsEditCommand::id() const
{
    return typedInto_ ? kTypingStep : -1;
}

bool SettingsEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const SettingsEditCommand*>(other);
    if (next->typedInto_ != typedInto_ || next->typingRun_ != typingRun_)
        return false;
    after_ = next->after_;
    // Typed and deleted again: the step changes nothing and leaves the history.
    setObsolete(before_ == after_);
    return true;
}

}  // namespace tarnik
