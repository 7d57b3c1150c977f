#pragma once

// Every named control under a root, resolved once into typed tables keyed by
// name. The handlers and bindings compose names such as "ChbClipNotVerif3"
// for the control named "ChBClipNotVerif3", so a lookup ignores letter case.
// Built when the pages are built; the bindings, interlocks and dialogs resolve
// their names through it once, at start-up, and keep the typed pointers.

#include <QHash>
#include <QString>
#include <stdexcept>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QObject;
class QPlainTextEdit;
class QWidget;

namespace tarnik {

class SpinEdit;

class ControlTable {
public:
    explicit ControlTable(const QObject* root);

    // The control named `name` (case ignored) of the kind asked for. A
    // composed name always names an existing control of that kind, so a miss
    // is a programming error: std::logic_error naming the control.
    QLineEdit* edit(const QString& name) const { return find(edits_, name, "edit box"); }
    QPlainTextEdit* memo(const QString& name) const { return find(memos_, name, "memo"); }
    SpinEdit* spin(const QString& name) const { return find(spins_, name, "spin edit"); }
    QCheckBox* check(const QString& name) const { return find(checks_, name, "check box"); }
    QComboBox* combo(const QString& name) const { return find(combos_, name, "combo box"); }
    QWidget* widget(const QString& name) const { return find(widgets_, name, "control"); }

    static QString keyOf(const QString& name) { return name.toCaseFolded(); }

private:
    template <typename T>
    static T* find(const QHash<QString, T*>& table, const QString& name, const char* kind)
    {
        if (T* control = table.value(keyOf(name)))
            return control;
        throw std::logic_error(std::string("no ") + kind + " named " + name.toStdString());
    }

    QHash<QString, QLineEdit*> edits_;
    QHash<QString, QPlainTextEdit*> memos_;
    QHash<QString, SpinEdit*> spins_;
    QHash<QString, QCheckBox*> checks_;
    QHash<QString, QComboBox*> combos_;
    QHash<QString, QWidget*> widgets_;
};

}  // namespace tarnik
