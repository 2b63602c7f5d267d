#include "testsupport/ScriptedPrompts.h"

namespace tonvale {

template <typename T>
bool ScriptedPrompts::take(T& out) {
    if (m_answers.empty() || !std::holds_alternative<T>(m_answers.front()))
        return false;
    out = std::get<T>(m_answers.front());
    m_answers.pop_front();
    return true;
}

std::vector<PromptRecord> ScriptedPrompts::messages() const {
    std::vector<PromptRecord> result;
    for (const PromptRecord& r : m_records) {
        if (r.kind == PromptRecord::Kind::Message)
            result.push_back(r);
    }
    return result;
}

PromptButton ScriptedPrompts::message(const QString& text, const QString& caption, MessageIcon icon,
                                      PromptButtons buttons, PromptButton defaultButton) {
    m_records.push_back({PromptRecord::Kind::Message, text, caption, icon, buttons, defaultButton, {}});
    PromptButton answer = defaultButton;
    take(answer);
    return answer;
}

QString ScriptedPrompts::openFile(const QString& title, const QString& folder, const QString&) {
    m_records.push_back({PromptRecord::Kind::OpenFile, title, folder, MessageIcon::None, NoButton, NoButton, {}});
    QString path;
    take(path);
    return path;
}

QString ScriptedPrompts::saveFile(const QString& title, const QString& folder, const QString&, const QString&,
                                  const QString& fileName) {
    m_records.push_back({PromptRecord::Kind::SaveFile, title, folder, MessageIcon::None, NoButton, NoButton, fileName});
    QString path;
    take(path);
    return path;
}

SaveOriginAnswer ScriptedPrompts::confirmSaveOriginal() {
    m_records.push_back({PromptRecord::Kind::SaveOriginal, {}, {}, MessageIcon::Question, NoButton, NoButton, {}});
    SaveOriginAnswer answer;
    take(answer);
    return answer;
}

QString ScriptedPrompts::browseFolder(const QString& title, const QString& folder) {
    m_records.push_back({PromptRecord::Kind::BrowseFolder, title, folder, MessageIcon::None, NoButton, NoButton, {}});
    QString path;
    take(path);
    return path;
}

} // namespace tonvale
