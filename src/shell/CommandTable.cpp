#include "shell/CommandTable.h"

namespace tonvale {

CommandTable::CommandTable(QObject* parent) : QObject(parent) {}

void CommandTable::define(CommandId id, const CommandSpec& shape, std::function<void()> execute,
                          std::function<bool()> enabled) {
    Entry& entry = m_entries[index(id)];
    entry.action = new QAction(shape.caption, this);
    entry.action->setObjectName(QString::fromLatin1(shape.name));
    entry.action->setToolTip(shape.hint.isEmpty() ? shape.caption : shape.hint);
    entry.action->setStatusTip(shape.hint);
    if (!shape.shortcut.isEmpty())
        entry.action->setShortcut(shape.shortcut);
    if (shape.icon)
        entry.action->setIcon(commandIcon(*shape.icon));
    entry.execute = std::move(execute);
    entry.enabled = std::move(enabled);
    connect(entry.action, &QAction::triggered, this, [this, id] { trigger(id); });
}

void CommandTable::setExecute(CommandId id, std::function<void()> execute) {
    m_entries[index(id)].execute = std::move(execute);
}

void CommandTable::setEnabledWhen(CommandId id, std::function<bool()> enabled) {
    m_entries[index(id)].enabled = std::move(enabled);
}

bool CommandTable::isEnabled(CommandId id) const {
    const Entry& entry = m_entries[index(id)];
    return entry.action != nullptr && (!entry.enabled || entry.enabled());
}

bool CommandTable::trigger(CommandId id) {
    Entry& entry = m_entries[index(id)];
    if (!isEnabled(id) || !entry.execute)
        return false;
    entry.execute();
    update();
    return true;
}

void CommandTable::update() {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].action != nullptr)
            m_entries[i].action->setEnabled(isEnabled(static_cast<CommandId>(i)));
    }
}

} // namespace tonvale
