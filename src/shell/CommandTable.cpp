// SPDX-License-Identifier: MIT
#include "shell/CommandTable.h"

#include <QKeySequence>
#include <optional>

namespace tonvale {

namespace {

struct CommandLook {
    const char* name;     // the action's object name
    const char* caption;  // UTF-8
    const char* hint;     // UTF-8; empty: the caption
    const char* shortcut; // portable text of the key sequence
    std::optional<IconId> icon;
    const char* category; // UTF-8 menu category, or empty
};

constexpr const char* FileCategory = "Файл";
constexpr const char* EditCategory = "Правка";
constexpr const char* HelpCategory = "Помощь";

// In the order of CommandId.
const std::array<CommandLook, static_cast<std::size_t>(CommandId::Count)> Looks = {{
    {"NewFile", "Новый файл...", "Новый файл...", "Ctrl+N", IconId::NewFile, FileCategory},
    {"Open", "Открыть...", "Открыть...", "Ctrl+O", IconId::Open, FileCategory},
    {"Save", "Сохранить", "Сохранить", "Ctrl+S", IconId::Save, FileCategory},
    {"SaveAs", "Сохранить как...", "", "Shift+Ctrl+S", std::nullopt, FileCategory},
    {"Exit", "Выход", "", "", std::nullopt, FileCategory},
    {"Settings", "Настройки...", "Настройки...", "", IconId::Settings, ""},
    {"ExpandAll", "Развернуть", "", "Ctrl+Right", IconId::Expand, ""},
    {"CollapseAll", "Свернуть", "", "Ctrl+Left", IconId::Collapse, ""},
    {"NewSoundscape", "Новый soundscape...", "", "Ctrl+Ins", IconId::NewSoundscape, EditCategory},
    {"Rename", "Изменить секцию (блок)...", "", "Ctrl+Return", IconId::Rename, EditCategory},
    {"Delete", "Удалить секцию (блок)", "", "Ctrl+Del", IconId::Delete, EditCategory},
    {"NewLoopingBlock", "Новый блок playlooping", "", "", IconId::NewElement, EditCategory},
    {"NewRandomBlock", "Новый блок playrandom", "", "", IconId::NewElement, EditCategory},
    {"NewSoundscapeBlock", "Новый блок playsoundscape", "", "", IconId::NewElement, EditCategory},
    {"Comments", "Комментарии...", "Комментарии...", "Ctrl+I", IconId::Comment, ""},
    {"NewElement", "Новый...", "", "", IconId::NewElement, ""},
    {"ChooseWave", "Выбрать файл...", "", "", IconId::ChooseFile, ""},
    {"Find", "", "Найти...", "Ctrl+F", IconId::Find, ""},
    {"FindAgain", "FindAgain", "", "F3", std::nullopt, ""},
    {"PlayerPanel", "Панель проигрывателя soundscape", "Панель проигрывателя soundscape", "", IconId::Player,
     ""},
    {"About", "О программе...", "", "", IconId::About, HelpCategory},
    {"Help", "Справка...", "", "F1", IconId::Help, HelpCategory},
    {"GridNewElement", "Новый...", "Новый...", "", IconId::NewElement, ""},
    {"GridChooseWave", "Выбрать файл...", "Выбрать файл...", "", IconId::ChooseFile, ""},
    {"GridFind", "Найти...", "Найти...", "", IconId::Find, ""},
    {"Play", "Play", "", "Ctrl+P", IconId::Play, ""},
    {"MasterVolume", "Общая громкость", "", "", IconId::Volume, ""},
    {"EditParameter", "Изменить параметр...", "", "", std::nullopt, ""},
    {"OpenList", "OpenList", "", "", std::nullopt, ""},
    {"Undo", "Отменить", "", "Ctrl+Z", IconId::Undo, EditCategory},
    {"Redo", "Повторить", "", "Ctrl+Y; Ctrl+Shift+Z", IconId::Redo, EditCategory},
    {"ProjectPanel", "Панель проекта", "Скрипты проекта и манифеста", "", std::nullopt, FileCategory},
    {"ProblemsPanel", "Проблемы", "Проблемы открытого файла и всего проекта", "", std::nullopt, FileCategory},
    {"GoToDefinition", "Перейти к определению", "Открыть soundscape, который играет блок playsoundscape",
     "F12", std::nullopt, EditCategory},
    {"FindReferences", "Найти ссылки", "Все блоки playsoundscape, которые играют этот soundscape",
     "Shift+F12", std::nullopt, EditCategory},
}};

constexpr CommandId Separator = CommandId::Count;
using enum CommandId;

constexpr CommandId MainToolBarLayout[] = {NewFile,  Open,      Separator,  Save,     Separator,
                                           Undo,     Redo,      Separator,  Settings, Separator,
                                           Comments, Separator, PlayerPanel};
constexpr CommandId FileMenuLayout[] = {NewFile,      Open,          Separator, Save, SaveAs,   Separator,
                                        ProjectPanel, ProblemsPanel, Separator, Exit, Separator};
constexpr CommandId EditMenuLayout[] = {
    Undo,      Redo,          Separator,      NewLoopingBlock, NewRandomBlock, NewSoundscapeBlock,
    Separator, NewSoundscape, Rename,         Separator,       Delete,         Separator,
    Comments,  Separator,     GoToDefinition, FindReferences};
constexpr CommandId HelpMenuLayout[] = {About, Help};
constexpr CommandId TreeMenuLayout[] = {Undo,        Redo,      Separator,      ExpandAll,
                                        CollapseAll, Separator, Comments,       Separator,
                                        PlayerPanel, Separator, GoToDefinition, FindReferences};
constexpr CommandId TreeEditMenuLayout[] = {NewLoopingBlock, NewRandomBlock, NewSoundscapeBlock, Separator,
                                            NewSoundscape,   Rename,         Separator,          Delete};
constexpr CommandId GridMenuLayout[] = {Undo,           Redo,     Separator, GridNewElement,
                                        GridChooseWave, PlayWave, Separator, MasterVolume,
                                        Separator,      GridFind, Separator, GoToDefinition};
constexpr CommandId GridToolBarLayout[] = {GridNewElement, Separator, GridChooseWave, Separator,
                                           GridFind,       Separator, PlayWave};
constexpr CommandId ShortcutsLayout[] = {FindAgain, ExpandAll, CollapseAll, Find, PlayWave};

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

std::span<const CommandId> commandLayout(CommandGroup group) {
    switch (group) {
    case CommandGroup::MainToolBar:
        return MainToolBarLayout;
    case CommandGroup::FileMenu:
        return FileMenuLayout;
    case CommandGroup::EditMenu:
        return EditMenuLayout;
    case CommandGroup::HelpMenu:
        return HelpMenuLayout;
    case CommandGroup::TreeMenu:
        return TreeMenuLayout;
    case CommandGroup::TreeEditMenu:
        return TreeEditMenuLayout;
    case CommandGroup::GridMenu:
        return GridMenuLayout;
    case CommandGroup::GridToolBar:
        return GridToolBarLayout;
    case CommandGroup::Shortcuts:
        return ShortcutsLayout;
    }
    return {};
}

CommandTable::CommandTable(std::function<WindowState()> state, QObject* parent)
    : QObject(parent), m_state(std::move(state)) {
    for (std::size_t i = 0; i < Looks.size(); ++i) {
        const CommandLook& look = Looks[i];
        const auto id = static_cast<CommandId>(i);
        auto* action = new QAction(utf8(look.caption), this);
        action->setObjectName(utf8(look.name));
        // Tool buttons show the caption as written: Qt would drop its "..." from the derived text.
        action->setIconText(action->text());
        const QString hint = utf8(look.hint);
        action->setToolTip(hint.isEmpty() ? action->text() : hint);
        action->setStatusTip(hint);
        if (*look.shortcut != '\0')
            action->setShortcuts(QKeySequence::listFromString(utf8(look.shortcut))); // "A; B": either
        if (look.icon)
            action->setIcon(commandIcon(*look.icon));
        if (*look.category != '\0')
            action->setProperty("category", utf8(look.category));
        connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
        m_entries[i].action = action;
    }
}

void CommandTable::setExecute(CommandId id, std::function<void()> execute) {
    m_entries[index(id)].execute = std::move(execute);
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
    const WindowState state = m_state();
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i].action->setEnabled(commandEnabled(static_cast<CommandId>(i), state));
}

void CommandTable::fill(QWidget* target, CommandGroup group) const {
    for (CommandId id : commandLayout(group)) {
        if (id == Separator) {
            auto* separator = new QAction(target);
            separator->setSeparator(true);
            target->addAction(separator);
        } else {
            target->addAction(action(id));
        }
    }
}

} // namespace tonvale
