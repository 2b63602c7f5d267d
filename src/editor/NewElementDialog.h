// SPDX-License-Identifier: MIT
#pragma once

// The new-element dialog: a header (mode 1) or a parameter with its value (mode 2) to add under the
// selected node, with the two comments of the new element. The dialog only collects the fields; the
// main window checks them and creates the node through the document's addNewElement. "Создать" stays
// disabled until a mode is chosen; the value field drops its default text when it first gets the focus.

#include "document/NewElements.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tonvale {

class NewElementDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 517;
    static constexpr int ClientHeight = 224;

    explicit NewElementDialog(QWidget* parent = nullptr);

    // Replaces the parameter names offered in CB_namPar (the text stays "Параметр").
    void setSuggestedNames(const QStringList& names);
    // The fields as they stand, in the script's code page.
    NewElementAnswers answers() const;
    NewElementMode mode() const { return m_answers.mode; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void chooseMode(QRadioButton* button);
    void valueFocused();

    NewElementAnswers m_answers; // holds the mode; the texts are read from the controls
    QRadioButton* m_headerMode;
    QComboBox* m_headerName;
    QRadioButton* m_parameterMode;
    QComboBox* m_parameterName;
    QLineEdit* m_valueEdit;
    QLineEdit* m_besideEdit;
    QPlainTextEdit* m_aboveEdit;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace tonvale
