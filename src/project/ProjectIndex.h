// SPDX-License-Identifier: MIT
#pragma once

// The index of a whole project: every script's index, and lookups across them by soundscape name
// (names compare as games compare them, without regard to ASCII case).
//
// For a window: build it off the user-interface thread with buildProjectIndex (it reports progress
// and can be cancelled), move the result to the window, and when one file changes on disk or in the
// editor, index that file off the thread (indexScriptFile / indexScript) and `replace` it here.
// Lookups and checkProject are cheap enough for the user-interface thread.

#include "project/Project.h"
#include "project/ScriptIndex.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tonvale::project {

// A place in the project: a soundscape's definition, or a playsoundscape that plays it.
struct ProjectPlace {
    std::string file;
    SourcePosition at;
    std::string soundscape; // the soundscape defined there, or the one whose block plays it
    SourcePosition soundscapeAt;
};

class ProjectIndex;

// Called after each script with the number done and the total; returning false stops the build.
using IndexProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Indexes every present script of the project, looking waves up in its sound folder.
ProjectIndex buildProjectIndex(const Project& project, const IndexProgress& progress = {});

class ProjectIndex {
  public:
    // Adds a script's index, or replaces the one with the same path.
    void replace(ScriptIndex script);
    void remove(std::string_view path);

    const std::vector<ScriptIndex>& scripts() const { return m_scripts; } // by path
    const ScriptIndex* script(std::string_view path) const;

    // Every definition of the soundscape, in path and line order.
    std::vector<ProjectPlace> definitions(std::string_view name) const;
    // Every playsoundscape that plays the soundscape.
    std::vector<ProjectPlace> references(std::string_view name) const;
    bool isDefined(std::string_view name) const;

  private:
    friend ProjectIndex buildProjectIndex(const Project& project, const IndexProgress& progress);
    struct Item {
        std::size_t script;
        std::size_t item;
    };
    void rebuildLookups();

    std::vector<ScriptIndex> m_scripts;
    std::unordered_map<std::string, std::vector<Item>> m_definitions; // by folded name
    std::unordered_map<std::string, std::vector<Item>> m_references;
};

} // namespace tonvale::project
