// SPDX-License-Identifier: MIT
#pragma once

// The Prompts of the running program: Qt message boxes, file dialogs, the input box, and the program's
// own dialogs (save-as-original, new element, comments), each created for one question and freed after it.

#include "dialogs/Prompts.h"

class QWidget;

namespace tonvale {

class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    PromptButton message(const QString& text, const QString& caption, MessageIcon icon, PromptButtons buttons,
                         PromptButton defaultButton) override;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFile(const QString& title, const QString& folder, const QString& filter,
                     const QString& defaultSuffix, const QString& fileName) override;
    SaveAsAnswer saveScriptAs(const QString& title, const QString& folder, const QString& filter,
                              const QString& defaultSuffix, bool keepLayout, bool layoutOffered) override;
    SaveOriginAnswer confirmSaveOriginal() override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    std::optional<NewElementAnswers> newElement(const QString& caption,
                                                const QStringList& suggestedNames) override;
    std::optional<CommentAnswers> editComments(const QString& caption, const std::string& beside,
                                               const std::string& commentsAbove) override;
    QString browseFolder(const QString& title, const QString& folder) override;

  private:
    QWidget* m_owner;
};

} // namespace tonvale
