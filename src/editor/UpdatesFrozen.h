// SPDX-License-Identifier: MIT
#pragma once

// Suspends or resumes the repainting of one control while it is rebuilt (the tree during a load, the
// grid while its rows are cleared, the text editor during replace all). Resuming repaints the control
// and all its children at once.

#include <QWidget>

namespace tonvale {

inline void setUpdatesFrozen(QWidget* control, bool lock) {
    if (control == nullptr)
        return;
    if (lock) {
        control->setUpdatesEnabled(false);
        return;
    }
    control->setUpdatesEnabled(true);
    control->update();
}

} // namespace tonvale
