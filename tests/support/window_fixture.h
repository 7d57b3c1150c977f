#pragma once

// The program's forms as start-up creates them, with the file dialogs and the
// error message box replaced by recorders.

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <memory>

#include "app/error_boundary.h"
#include "app/file_chooser.h"
#include "app/forms.h"
#include "app/glowna_form.h"
#include "app/port_combo_box.h"
#include "editor/lookup/control_lookup.h"

// Answers the file dialogs from a queue and remembers the names they started with;
// answers the question about unsaved edits from its own queue, "Nie zapisuj" when empty.
class ScriptedFileChooser : public tarnik::FileChooser {
public:
    QStringList answers;  // the next answers; an empty text cancels
    QStringList openStartNames;
    QStringList saveStartNames;
    QList<tarnik::SaveChanges> saveAnswers;
    int questions = 0;  // how often the question was asked

    QString chooseOpenFile(QWidget*, const QString& startName) override
    {
        openStartNames << startName;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString chooseSaveFile(QWidget*, const QString& startName) override
    {
        saveStartNames << startName;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    tarnik::SaveChanges askSaveChanges(QWidget*) override
    {
        ++questions;
        return saveAnswers.isEmpty() ? tarnik::SaveChanges::Discard : saveAnswers.takeFirst();
    }
};

struct WindowFixture {
    tarnik::Forms forms;
    ScriptedFileChooser* chooser = nullptr;
    QStringList errors;

    explicit WindowFixture(const QStringList& pinnedPorts = {}, bool recordErrors = true)
    {
        forms = tarnik::createForms(pinnedPorts);
        auto scripted = std::make_unique<ScriptedFileChooser>();
        chooser = scripted.get();
        window().setFileChooser(std::move(scripted));
        if (recordErrors)
            tarnik::setErrorPresenter(
                [this](QWidget*, const QString& message) { errors << message; });
    }
    ~WindowFixture() { tarnik::setErrorPresenter({}); }

    tarnik::TGlownaF& window() { return *forms.GlownaF; }
    // Shows the window and waits until it is the active one, as a user's window is; false
    // when it never became active.
    bool showActive()
    {
        window().show();
        window().activateWindow();
        return QTest::qWaitForWindowActive(&window());
    }

    template <typename T>
    T* get(const char* name)
    {
        return tarnik::findControl<T>(&window(), QString::fromLatin1(name));
    }
    QLineEdit* edit(const char* name) { return get<QLineEdit>(name); }
    QPushButton* button(const char* name) { return get<QPushButton>(name); }
    QAction* action(const char* name) { return get<QAction>(name); }
    tarnik::PortComboBox* ports() { return get<tarnik::PortComboBox>("CBcom"); }
};
