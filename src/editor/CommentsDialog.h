// SPDX-License-Identifier: MIT
#pragma once

// The comments dialog of a node: the comment beside the element in a one-line edit, the comments
// above it as the lines of a textEditor. It shows and returns script bytes; the main window stores the
// result through the document's setComments on OK.

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tonvale {

class CommentsDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 539;
    static constexpr int ClientHeight = 174;

    explicit CommentsDialog(QWidget* parent = nullptr);

    // Shows a node's CommentBeside and CommentsAbove (lines ended by CR, see commentLines).
    void setComments(const std::string& beside, const std::string& commentsAbove);
    std::string beside() const;
    std::vector<std::string> aboveLines() const;

  private:
    QLineEdit* m_besideEdit;
    QPlainTextEdit* m_aboveEdit;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace tonvale
