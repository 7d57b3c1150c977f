#pragma once

// The settings pages with their real interlocks and binding, on records of
// the test's own.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include "editor/binding/settings_binding.h"
#include "editor/interlocks/interlocks.h"
#include "editor/lookup/control_lookup.h"
#include "editor/lookup/control_table.h"
#include "editor/pages/settings_pages.h"
#include "editor/widgets/spin_edit.h"
#include "model/conversion.h"

struct BindingFixture {
    tarnik::SettingsRecord record{};
    tarnik::UserDirectory users{};
    QWidget root;
    tarnik::Interlocks* interlocks = nullptr;
    std::unique_ptr<tarnik::SettingsBinding> binding;

    BindingFixture()
    {
        auto* layout = new QVBoxLayout(&root);
        layout->addWidget(tarnik::buildSettingsPages(&root));
        const tarnik::ControlTable controls(&root);
        interlocks = new tarnik::Interlocks(controls, &root, &root);
        binding = std::make_unique<tarnik::SettingsBinding>(
            controls, tarnik::OptionRefresh{[this](tarnik::Option flag) { option(flag); }});
        binding->FillSmsCentreList();
        binding->CBcentrumChange();
        binding->connectSmsCentreList();
        tarnik::SetDefaults(record);
    }

    void option(tarnik::Option flag) { interlocks->applyOption(flag); }

    template <typename T>
    T* get(const char* name)
    {
        return tarnik::findControl<T>(&root, QString::fromLatin1(name));
    }
    QLineEdit* edit(const char* name) { return get<QLineEdit>(name); }
    QCheckBox* check(const char* name) { return get<QCheckBox>(name); }
    tarnik::SpinEdit* spin(const char* name) { return get<tarnik::SpinEdit>(name); }
    QComboBox* combo(const char* name) { return get<QComboBox>(name); }
    QPlainTextEdit* memo(const char* name) { return get<QPlainTextEdit>(name); }

    // Show the record, then collect it again.
    void roundTrip()
    {
        binding->showFrom(record);
        binding->collectInto(record);
    }
};
