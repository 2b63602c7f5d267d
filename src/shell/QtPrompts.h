#pragma once

// The Prompts of the running program: Qt message boxes, file dialogs and the save-as-original dialog.

#include "shell/Prompts.h"

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
    SaveOriginAnswer confirmSaveOriginal() override;
    QString browseFolder(const QString& title, const QString& folder) override;

private:
    QWidget* m_owner;
};

} // namespace tonvale
