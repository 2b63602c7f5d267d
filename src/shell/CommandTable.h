// SPDX-License-Identifier: MIT
#pragma once

// The main window's commands in one table: caption, hint, shortcut, icon and menu category of each,
// the layouts of the menus and toolbars that show them, and what each one does. Whether a command
// is enabled comes from commandEnabled (CommandState.h) over the window's state of the moment; a
// command runs only while it is enabled, so a shortcut never reaches a disabled command.

#include "editor/Icons.h"
#include "shell/CommandState.h"

#include <QAction>
#include <QObject>
#include <QWidget>
#include <array>
#include <functional>
#include <span>

namespace tonvale {

// The menus and toolbars built from the table.
enum class CommandGroup {
    MainToolBar,
    FileMenu,
    EditMenu,
    HelpMenu,
    TreeMenu, // the tree's popup menu; TreeEditMenu is its "Правка" submenu
    TreeEditMenu,
    GridMenu,
    GridToolBar,
    Shortcuts, // commands in no menu of the window, reachable by their shortcuts
};

// CommandId::Count in a layout stands for a separator.
std::span<const CommandId> commandLayout(CommandGroup group);

class CommandTable : public QObject {
    Q_OBJECT
  public:
    CommandTable(std::function<WindowState()> state, QObject* parent = nullptr);

    void setExecute(CommandId id, std::function<void()> execute);
    QAction* action(CommandId id) const { return m_entries[index(id)].action; }
    bool isEnabled(CommandId id) const { return commandEnabled(id, m_state()); }
    bool hasBehaviour(CommandId id) const { return static_cast<bool>(m_entries[index(id)].execute); }
    // Runs the command when it is enabled; returns whether it ran.
    bool trigger(CommandId id);
    // Applies the state of the moment to every action.
    void update();
    // Adds the group's actions (and separators) to a menu or a toolbar.
    void fill(QWidget* target, CommandGroup group) const;

  private:
    struct Entry {
        QAction* action = nullptr;
        std::function<void()> execute;
    };
    static std::size_t index(CommandId id) { return static_cast<std::size_t>(id); }
    std::function<WindowState()> m_state;
    std::array<Entry, static_cast<std::size_t>(CommandId::Count)> m_entries;
};

} // namespace tonvale
