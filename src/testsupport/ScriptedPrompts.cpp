// SPDX-License-Identifier: MIT
#include "testsupport/ScriptedPrompts.h"

#include "document/Edits.h"
#include "editor/QtText.h"

namespace tonvale {

template <typename T> bool ScriptedPrompts::take(T& out) {
    if (m_answers.empty() || !std::holds_alternative<T>(m_answers.front()))
        return false;
    out = std::get<T>(m_answers.front());
    m_answers.pop_front();
    return true;
}

namespace {
PromptRecord makeRecord(PromptRecord::Kind kind, const QString& text, const QString& caption,
                        MessageIcon icon = MessageIcon::None, PromptButtons buttons = NoButton,
                        PromptButton defaultButton = NoButton, const QString& fileName = {}) {
    PromptRecord record;
    record.kind = kind;
    record.text = text;
    record.caption = caption;
    record.icon = icon;
    record.buttons = buttons;
    record.defaultButton = defaultButton;
    record.fileName = fileName;
    return record;
}
} // namespace

template <typename T> std::optional<T> ScriptedPrompts::takeOrCancel() {
    T value;
    if (take(value))
        return value;
    PromptButton cancel = NoButton;
    take(cancel);
    return std::nullopt;
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
    m_records.push_back(
        makeRecord(PromptRecord::Kind::Message, text, caption, icon, buttons, defaultButton, {}));
    if (onMessage)
        onMessage(m_records.back());
    PromptButton answer = defaultButton;
    take(answer);
    return answer;
}

QString ScriptedPrompts::openFile(const QString& title, const QString& folder, const QString&) {
    m_records.push_back(
        makeRecord(PromptRecord::Kind::OpenFile, title, folder, MessageIcon::None, NoButton, NoButton, {}));
    QString path;
    take(path);
    return path;
}

QString ScriptedPrompts::saveFile(const QString& title, const QString& folder, const QString&, const QString&,
                                  const QString& fileName) {
    m_records.push_back(makeRecord(PromptRecord::Kind::SaveFile, title, folder, MessageIcon::None, NoButton,
                                   NoButton, fileName));
    QString path;
    take(path);
    return path;
}

SaveAsAnswer ScriptedPrompts::saveScriptAs(const QString& title, const QString& folder, const QString&,
                                           const QString&, bool keepLayout, bool layoutOffered) {
    m_records.push_back(
        makeRecord(PromptRecord::Kind::SaveFile, title, folder, MessageIcon::None, NoButton, NoButton, {}));
    SaveAsAnswer answer{{}, keepLayout && layoutOffered};
    if (!take(answer))
        take(answer.path);
    return answer;
}

SaveOriginAnswer ScriptedPrompts::confirmSaveOriginal() {
    m_records.push_back(
        makeRecord(PromptRecord::Kind::SaveOriginal, {}, {}, MessageIcon::Question, NoButton, NoButton, {}));
    SaveOriginAnswer answer;
    take(answer);
    return answer;
}

std::optional<QString> ScriptedPrompts::inputText(const QString& caption, const QString& prompt,
                                                  const QString& initial) {
    PromptRecord record =
        makeRecord(PromptRecord::Kind::Input, prompt, caption, MessageIcon::None, NoButton, NoButton, {});
    record.initial = initial;
    m_records.push_back(record);
    return takeOrCancel<QString>();
}

std::optional<NewElementAnswers> ScriptedPrompts::newElement(const QString& caption,
                                                             const QStringList& suggestedNames) {
    PromptRecord record =
        makeRecord(PromptRecord::Kind::NewElement, {}, caption, MessageIcon::None, NoButton, NoButton, {});
    record.items = suggestedNames;
    m_records.push_back(record);
    return takeOrCancel<NewElementAnswers>();
}

std::optional<CommentAnswers> ScriptedPrompts::editComments(const QString& caption, const std::string& beside,
                                                            const std::string& commentsAbove) {
    PromptRecord record =
        makeRecord(PromptRecord::Kind::Comments, {}, caption, MessageIcon::None, NoButton, NoButton, {});
    record.initial = scriptToQString(beside);
    for (const std::string& line : commentLines(commentsAbove))
        record.items.append(scriptToQString(line));
    m_records.push_back(record);
    return takeOrCancel<CommentAnswers>();
}

QString ScriptedPrompts::browseFolder(const QString& title, const QString& folder) {
    m_records.push_back(makeRecord(PromptRecord::Kind::BrowseFolder, title, folder, MessageIcon::None,
                                   NoButton, NoButton, {}));
    QString path;
    take(path);
    return path;
}

} // namespace tonvale
