// SPDX-License-Identifier: MIT
#pragma once

// Prompts for tests: every question is recorded (kind, text, caption, icon, buttons, default button)
// and answered from a queue. An empty queue answers a message with its default button, cancels a file
// dialog and says "Нет" to the save-as-original confirmation. An input box, the new-element dialog
// and the comments dialog take a QString, NewElementAnswers or CommentAnswers from the queue; a
// button answer in their place (or an empty queue) cancels them.

#include "dialogs/Prompts.h"

#include <QString>
#include <deque>
#include <functional>
#include <variant>
#include <vector>

namespace tonvale {

struct PromptRecord {
    enum class Kind { Message, OpenFile, SaveFile, SaveOriginal, Input, NewElement, Comments, BrowseFolder };
    Kind kind = Kind::Message;
    QString text;    // message text, or the dialog's title
    QString caption; // message caption, or the dialog's starting folder
    MessageIcon icon = MessageIcon::None;
    PromptButtons buttons = NoButton;
    PromptButton defaultButton = NoButton;
    QString fileName;  // proposed file name of a save dialog
    QString initial;   // starting text of an input box, the comment beside of the comments dialog
    QStringList items; // suggested names of the new-element dialog, the comment lines above
};

class ScriptedPrompts : public Prompts {
  public:
    using Answer = std::variant<PromptButton, QString, SaveOriginAnswer, NewElementAnswers, CommentAnswers,
                                SaveAsAnswer>;

    void answer(Answer a) { m_answers.push_back(std::move(a)); }
    // Called with every message box as it is shown, for tests that look at the window at that moment.
    std::function<void(const PromptRecord&)> onMessage;
    const std::vector<PromptRecord>& records() const { return m_records; }
    std::vector<PromptRecord> messages() const; // only the message boxes
    bool answersLeft() const { return !m_answers.empty(); }
    void clear() {
        m_records.clear();
        m_answers.clear();
    }

    PromptButton message(const QString& text, const QString& caption, MessageIcon icon, PromptButtons buttons,
                         PromptButton defaultButton) override;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFile(const QString& title, const QString& folder, const QString& filter,
                     const QString& defaultSuffix, const QString& fileName) override;
    // Answered with a SaveAsAnswer, or with a QString (the path; the layout choice stays as offered).
    SaveAsAnswer saveScriptAs(const QString& title, const QString& folder, const QString& filter,
                              const QString& defaultSuffix, bool keepLayout, bool layoutOffered) override;
    SaveOriginAnswer confirmSaveOriginal() override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    std::optional<NewElementAnswers> newElement(const QString& caption,
                                                const QStringList& suggestedNames) override;
    std::optional<CommentAnswers> editComments(const QString& caption, const std::string& beside,
                                               const std::string& commentsAbove) override;

    QString browseFolder(const QString& title, const QString& folder) override; // answered with a QString

  private:
    template <typename T> std::optional<T> takeOrCancel();

    template <typename T> bool take(T& out);

    std::deque<Answer> m_answers;
    std::vector<PromptRecord> m_records;
};

} // namespace tonvale
