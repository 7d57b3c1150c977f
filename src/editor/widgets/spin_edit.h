#pragma once

// An integer edit with arrows whose value is clamped into its range, not refused:
// typing 300 into a 1..255 edit is allowed and shows 255 once the focus leaves;
// a text that is no number reads as the minimum.

#include <QSpinBox>

namespace tarnik {

class SpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent = nullptr);

    // Range and the number of characters the user may type.
    void setLimits(int minimum, int maximum, int maxLength);

    // The value of the current text, clamped, as the window stores it. Also
    // brings the shown text into line, as leaving the edit would.
    int readValue();

    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    int valueFromText(const QString& text) const override;

private:
    int clampedValueOf(const QString& text) const;
};

}  // namespace tarnik
