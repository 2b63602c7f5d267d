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

enum class Cmd {
    A_NewF, A_OpenRes, A_SaveRes, A_SaveAs, A_Exit, A_Settings, A_ExpAll, A_CollAll,
    A_NewItem, A_EditItem, A_DeleteItem, A_NewLoop, A_NewRand, A_NewPlaySS, A_Comment,
    A_NewCategory, A_SelDir, A_Find, A_findis, A_Play_SS, A_About, A_Help,
    Action3, Action4, Action5, Play, A_Vol,
    A_EditCategory, A_OpenResList,
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

    void define(Cmd id, const CommandSpec& shape, std::function<void()> execute, std::function<bool()> enabled);
    // Later parts of the program attach their behaviour to a command defined here.
    void setExecute(Cmd id, std::function<void()> execute);
    void setEnabledWhen(Cmd id, std::function<bool()> enabled);

    QAction* action(Cmd id) const { return m_entries[index(id)].action; }
    bool isEnabled(Cmd id) const;
    bool hasBehaviour(Cmd id) const { return static_cast<bool>(m_entries[index(id)].execute); }
    // Runs the command when it is enabled; returns whether it ran.
    bool trigger(Cmd id);
    void update();

private:
    struct Entry {
        QAction* action = nullptr;
        std::function<void()> execute;
        std::function<bool()> enabled;
    };
    static std::size_t index(Cmd id) { return static_cast<std::size_t>(id); }
    std::array<Entry, static_cast<std::size_t>(Cmd::Count)> m_entries;
};

} // namespace tonvale
