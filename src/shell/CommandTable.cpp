// SPDX-License-Identifier: MIT
#include "shell/CommandTable.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <optional>

namespace tonvale {

namespace {

struct CommandLook {
    const char* name;     // the action's object name
    const char* caption;  // UTF-8, translated when shown (context "tonvale")
    const char* hint;     // UTF-8, translated; empty: the caption
    const char* shortcut; // portable text of the key sequence
    std::optional<IconId> icon;
    const char* category; // UTF-8 menu category, or empty
};

constexpr const char* FileCategory = QT_TRANSLATE_NOOP("tonvale", "Файл");
constexpr const char* EditCategory = QT_TRANSLATE_NOOP("tonvale", "Правка");
constexpr const char* HelpCategory = QT_TRANSLATE_NOOP("tonvale", "Помощь");

// In the order of CommandId.
const std::array<CommandLook, static_cast<std::size_t>(CommandId::Count)> Looks = {{
    {"NewFile", QT_TRANSLATE_NOOP("tonvale", "Новый файл..."), QT_TRANSLATE_NOOP("tonvale", "Новый файл..."),
     "Ctrl+N", IconId::NewFile, FileCategory},
    {"Open", QT_TRANSLATE_NOOP("tonvale", "Открыть..."), QT_TRANSLATE_NOOP("tonvale", "Открыть..."), "Ctrl+O",
     IconId::Open, FileCategory},
    {"Save", QT_TRANSLATE_NOOP("tonvale", "Сохранить"), QT_TRANSLATE_NOOP("tonvale", "Сохранить"), "Ctrl+S",
     IconId::Save, FileCategory},
    {"SaveAs", QT_TRANSLATE_NOOP("tonvale", "Сохранить как..."), "", "Shift+Ctrl+S", std::nullopt,
     FileCategory},
    {"Exit", QT_TRANSLATE_NOOP("tonvale", "Выход"), "", "", std::nullopt, FileCategory},
    {"Settings", QT_TRANSLATE_NOOP("tonvale", "Настройки..."), QT_TRANSLATE_NOOP("tonvale", "Настройки..."),
     "", IconId::Settings, ""},
    {"ExpandAll", QT_TRANSLATE_NOOP("tonvale", "Развернуть"), "", "Ctrl+Right", IconId::Expand, ""},
    {"CollapseAll", QT_TRANSLATE_NOOP("tonvale", "Свернуть"), "", "Ctrl+Left", IconId::Collapse, ""},
    {"NewSoundscape", QT_TRANSLATE_NOOP("tonvale", "Новый soundscape..."), "", "Ctrl+Ins",
     IconId::NewSoundscape, EditCategory},
    {"Rename", QT_TRANSLATE_NOOP("tonvale", "Изменить секцию (блок)..."), "", "Ctrl+Return", IconId::Rename,
     EditCategory},
    {"Delete", QT_TRANSLATE_NOOP("tonvale", "Удалить секцию (блок)"), "", "Ctrl+Del", IconId::Delete,
     EditCategory},
    {"NewLoopingBlock", QT_TRANSLATE_NOOP("tonvale", "Новый блок playlooping"), "", "", IconId::NewElement,
     EditCategory},
    {"NewRandomBlock", QT_TRANSLATE_NOOP("tonvale", "Новый блок playrandom"), "", "", IconId::NewElement,
     EditCategory},
    {"NewSoundscapeBlock", QT_TRANSLATE_NOOP("tonvale", "Новый блок playsoundscape"), "", "",
     IconId::NewElement, EditCategory},
    {"Comments", QT_TRANSLATE_NOOP("tonvale", "Комментарии..."),
     QT_TRANSLATE_NOOP("tonvale", "Комментарии..."), "Ctrl+I", IconId::Comment, ""},
    {"NewElement", QT_TRANSLATE_NOOP("tonvale", "Новый..."), "", "", IconId::NewElement, ""},
    {"ChooseWave", QT_TRANSLATE_NOOP("tonvale", "Выбрать файл..."), "", "", IconId::ChooseFile, ""},
    {"Find", "", QT_TRANSLATE_NOOP("tonvale", "Найти..."), "Ctrl+F", IconId::Find, ""},
    {"FindAgain", "FindAgain", "", "F3", std::nullopt, ""},
    {"PlayerPanel", QT_TRANSLATE_NOOP("tonvale", "Панель проигрывателя soundscape"),
     QT_TRANSLATE_NOOP("tonvale", "Панель проигрывателя soundscape"), "", IconId::Player, ""},
    {"About", QT_TRANSLATE_NOOP("tonvale", "О программе..."), "", "", IconId::About, HelpCategory},
    {"Help", QT_TRANSLATE_NOOP("tonvale", "Справка..."), "", "F1", IconId::Help, HelpCategory},
    {"GridNewElement", QT_TRANSLATE_NOOP("tonvale", "Новый..."), QT_TRANSLATE_NOOP("tonvale", "Новый..."), "",
     IconId::NewElement, ""},
    {"GridChooseWave", QT_TRANSLATE_NOOP("tonvale", "Выбрать файл..."),
     QT_TRANSLATE_NOOP("tonvale", "Выбрать файл..."), "", IconId::ChooseFile, ""},
    {"GridFind", QT_TRANSLATE_NOOP("tonvale", "Найти..."), QT_TRANSLATE_NOOP("tonvale", "Найти..."), "",
     IconId::Find, ""},
    {"Play", "Play", "", "Ctrl+P", IconId::Play, ""},
    {"MasterVolume", QT_TRANSLATE_NOOP("tonvale", "Общая громкость"), "", "", IconId::Volume, ""},
    {"EditParameter", QT_TRANSLATE_NOOP("tonvale", "Изменить параметр..."), "", "", std::nullopt, ""},
    {"OpenList", "OpenList", "", "", std::nullopt, ""},
    {"Undo", QT_TRANSLATE_NOOP("tonvale", "Отменить"), "", "Ctrl+Z", IconId::Undo, EditCategory},
    {"Redo", QT_TRANSLATE_NOOP("tonvale", "Повторить"), "", "Ctrl+Y; Ctrl+Shift+Z", IconId::Redo,
     EditCategory},
    {"ProjectPanel", QT_TRANSLATE_NOOP("tonvale", "Панель проекта"),
     QT_TRANSLATE_NOOP("tonvale", "Скрипты проекта и манифеста"), "", std::nullopt, FileCategory},
    {"ProblemsPanel", QT_TRANSLATE_NOOP("tonvale", "Проблемы"),
     QT_TRANSLATE_NOOP("tonvale", "Проблемы открытого файла и всего проекта"), "", std::nullopt,
     FileCategory},
    {"GoToDefinition", QT_TRANSLATE_NOOP("tonvale", "Перейти к определению"),
     QT_TRANSLATE_NOOP("tonvale", "Открыть soundscape, который играет блок playsoundscape"), "F12",
     std::nullopt, EditCategory},
    {"FindReferences", QT_TRANSLATE_NOOP("tonvale", "Найти ссылки"),
     QT_TRANSLATE_NOOP("tonvale", "Все блоки playsoundscape, которые играют этот soundscape"), "Shift+F12",
     std::nullopt, EditCategory},
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

// A caption, hint or category of the table in the interface language.
QString shown(const char* text) {
    return *text == '\0' ? QString() : QCoreApplication::translate("tonvale", text);
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
        auto* action = new QAction(shown(look.caption), this);
        action->setObjectName(utf8(look.name));
        // Tool buttons show the caption as written: Qt would drop its "..." from the derived text.
        action->setIconText(action->text());
        const QString hint = shown(look.hint);
        action->setToolTip(hint.isEmpty() ? action->text() : hint);
        action->setStatusTip(hint);
        if (*look.shortcut != '\0')
            action->setShortcuts(QKeySequence::listFromString(utf8(look.shortcut))); // "A; B": either
        if (look.icon)
            action->setIcon(commandIcon(*look.icon));
        if (*look.category != '\0')
            action->setProperty("category", shown(look.category));
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
