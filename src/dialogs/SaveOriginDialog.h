// SPDX-License-Identifier: MIT
#pragma once

// The confirmation shown before Save writes over the original file: "Да" / "Нет" and the check box
// "Больше не спрашивать". Created for one question and destroyed after it.

#include <QDialog>

class QCheckBox;

namespace tonvale {

class SaveOriginDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SaveOriginDialog(QWidget* parent = nullptr);
    bool dontAskAgain() const;

  private:
    QCheckBox* m_dontAsk;
};

} // namespace tonvale
