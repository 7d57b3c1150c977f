#pragma once

class QWidget;

namespace tarnik {

// Installs the model's limits on the controls under `root`: typing limits on
// the edit boxes, range, length and initial value on the spin edits.
void applyControlLimits(QWidget* root);

}  // namespace tarnik
