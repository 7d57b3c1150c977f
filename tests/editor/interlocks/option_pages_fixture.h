#pragma once

// A window of two tab pages; on the first the controls the interlocks work on, named as on the main
// window: the CLIP action boxes of both groups, the option boxes ChBFlags_0..5
// with their dependent labels, edits and spin edits, the PIN and code edits,
// and the user number edits. Focus order: EPin, Ecsms, EPINMOD, Enruser1..4,
// EZalWy1, EwylWy1, EZalWy2, EwylWy2, then the rest;
// the second page holds one plain edit.

#include <QString>
#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace tarnik::test {

class OptionPagesFixture : public QWidget {
public:
    OptionPagesFixture();

    QCheckBox* box(const QString& name) const;
    QLineEdit* edit(const QString& name) const;
    QWidget* control(const QString& name) const;
};

}  // namespace tarnik::test
