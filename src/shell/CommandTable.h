#pragma once

// The main window's commands in one table: caption, hint, shortcut, icon, what it does and when it is
// enabled. Menus and toolbars show the table's QActions; update() applies every enabled predicate, and
// a command runs only while its predicate holds, so a shortcut never reaches a disabled command.

#include "editor/Icons.h"

#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <array>
#include <functional>
#include <optional>

namespace tonvale {

enum class CommandId {
    NewFile,
    Open,
    Save,
    SaveAs,
    Exit,
    Settings,
    ExpandAll,
    CollapseAll,
    NewSoundscape,
    Rename,
    Delete,
    NewLoopingBlock,
    NewRandomBlock,
    NewSoundscapeBlock,
    Comments,
    NewElement,
    ChooseWave,
    Find,
    FindAgain,
    PlayerPanel,
    About,
    Help,
    GridNewElement,
    GridChooseWave,
    GridFind,
    PlayWave,
    MasterVolume,
    EditParameter,
    OpenList,
    Count
};

struct CommandSpec {
    const char* name;
    QString caption;
    QString hint;
    QKeySequence shortcut;
    std::optional<IconId> icon;
};

class CommandTable : public QObject {
    Q_OBJECT
  public:
    explicit CommandTable(QObject* parent = nullptr);

    void define(CommandId id, const CommandSpec& shape, std::function<void()> execute,
                std::function<bool()> enabled);
    // Later parts of the program attach their behaviour to a command defined here.
    void setExecute(CommandId id, std::function<void()> execute);
    void setEnabledWhen(CommandId id, std::function<bool()> enabled);

    QAction* action(CommandId id) const { return m_entries[index(id)].action; }
    bool isEnabled(CommandId id) const;
    bool hasBehaviour(CommandId id) const { return static_cast<bool>(m_entries[index(id)].execute); }
    // Runs the command when it is enabled; returns whether it ran.
    bool trigger(CommandId id);
    void update();

  private:
    struct Entry {
        QAction* action = nullptr;
        std::function<void()> execute;
        std::function<bool()> enabled;
    };
    static std::size_t index(CommandId id) { return static_cast<std::size_t>(id); }
    std::array<Entry, static_cast<std::size_t>(CommandId::Count)> m_entries;
};

} // namespace tonvale
