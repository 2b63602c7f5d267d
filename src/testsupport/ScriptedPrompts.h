#pragma once

// Prompts for tests: every question is recorded (kind, text, caption, icon, buttons, default button)
// and answered from a queue. An empty queue answers a message with its default button, cancels a file
// dialog and says "Нет" to the save-as-original confirmation.

#include "shell/Prompts.h"

#include <QString>

#include <deque>
#include <variant>
#include <vector>

namespace tonvale {

struct PromptRecord {
    enum class Kind { Message, OpenFile, SaveFile, SaveOriginal, BrowseFolder };
    Kind kind = Kind::Message;
    QString text;     // message text, or the dialog's title
    QString caption;  // message caption, or the dialog's starting folder
    MessageIcon icon = MessageIcon::None;
    PromptButtons buttons = NoButton;
    PromptButton defaultButton = NoButton;
    QString fileName;  // proposed file name of a save dialog
};

class ScriptedPrompts : public Prompts {
public:
    using Answer = std::variant<PromptButton, QString, SaveOriginAnswer>;

    void answer(Answer a) { m_answers.push_back(std::move(a)); }
    const std::vector<PromptRecord>& records() const { return m_records; }
    std::vector<PromptRecord> messages() const;  // only the message boxes
    bool answersLeft() const { return !m_answers.empty(); }
    void clear() {
        m_records.clear();
        m_answers.clear();
    }

    PromptButton message(const QString& text, const QString& caption, MessageIcon icon, PromptButtons buttons,
                         PromptButton defaultButton) override;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFile(const QString& title, const QString& folder, const QString& filter, const QString& defaultSuffix,
                     const QString& fileName) override;
    SaveOriginAnswer confirmSaveOriginal() override;
    QString browseFolder(const QString& title, const QString& folder) override;  // answered with a QString

private:
    template <typename T>
    bool take(T& out);

    std::deque<Answer> m_answers;
    std::vector<PromptRecord> m_records;
};

} // namespace tonvale
