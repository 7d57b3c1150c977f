#pragma once

// A window with the controls the reaction buttons rely on, named and nested as
// on the main window: input buttons inside ScrollBox1 on TabSheet3, special
// entry buttons on TabSheet4, the output confirmation buttons in GroupBox11 on
// TabSheet5, and the user edits Enruser1..4 / Eosoba1..4 on TabSheet2.

#include <QString>
#include <QWidget>

class QAbstractButton;
class QLineEdit;

namespace tarnik::test {

class ReactionPagesFixture : public QWidget {
public:
    ReactionPagesFixture();

    QAbstractButton* button(const QString& name) const;
    QLineEdit* userNumber(int user) const;  // Enruser<user>
    QLineEdit* userName(int user) const;    // Eosoba<user>
};

}  // namespace tarnik::test
