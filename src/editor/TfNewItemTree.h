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

class TfNewItemTree : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 517;
    static constexpr int ClientHeight = 224;

    explicit TfNewItemTree(QWidget* parent = nullptr);

    // Replaces the parameter names offered in CB_namPar (the text stays "Параметр").
    void setSuggestedNames(const QStringList& names);
    // The fields as they stand, in the script's code page.
    NewElementAnswers answers() const;
    NewElementMode mode() const { return m_answers.mode; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RadioButton1Click(QRadioButton* button);
    void Edit6Enter();

    NewElementAnswers m_answers;  // holds the mode; the texts are read from the controls
    QRadioButton* m_radioHeader;
    QComboBox* m_cbParam;
    QRadioButton* m_radioParameter;
    QComboBox* m_cbNamPar;
    QLineEdit* m_edit6;
    QLineEdit* m_edit7;
    QPlainTextEdit* m_memo1;
    QPushButton* m_button1;
    QPushButton* m_button2;
};

} // namespace tonvale
