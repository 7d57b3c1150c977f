#pragma once

// The output-reaction dialog: which outputs an input or special-entry reaction
// switches. One instance lives from start-up to exit and is reused; its check
// states, enabled states, visibility and captions persist between openings.
// Create it with the main window as parent (it is then centred on it).

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>

class QCheckBox;

namespace Ui {
class TFconfigNumberWeRe;
}

namespace tarnik {

class TFconfigNumberWeRe : public QDialog {
    Q_OBJECT

public:
    explicit TFconfigNumberWeRe(QWidget* parent = nullptr);
    ~TFconfigNumberWeRe() override;

    // Sets the eight boxes from `b` in their fixed order (bit 7 first); each
    // change of state fires that box's handler. Hidden boxes take their bits too.
    void setFromByte(std::uint8_t b);

    // The byte that OK stores: 0x80 when ChBNoActiv is ticked or nothing is.
    std::uint8_t resultByte() const;

    // True only while ChBNoActivClick runs.
    bool busy() const { return busy_; }

    // The box of that name among the eight (std::logic_error for another name).
    QCheckBox* box(const char* name) const;
    // The boxes the callers set up by hand: "Raport" and the timed switch-offs.
    QCheckBox* reportBox() const;
    QCheckBox* timedOffBox(int output) const;  // output 1 or 2

    // Handlers attached (through toggled) to the boxes of the same names.
    void ChBNoActivClick();
    void ChBONwy1INClick();
    void ChBOFFwy1InClick();
    void ChBonWy2InClick();
    void ChBOFFWY2iNClick();

private:
    void excludePair(QCheckBox* own, QCheckBox* other);

    std::unique_ptr<Ui::TFconfigNumberWeRe> ui_;
    // The eight boxes in the order of kOutputReactionBoxes.
    std::array<QCheckBox*, 8> boxes_{};
    bool busy_ = false;
};

}  // namespace tarnik
