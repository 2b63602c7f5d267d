// SPDX-License-Identifier: MIT
#pragma once

#include "audio/SoundscapeMix.h"
#include "document/Loader.h"

#include <list>
#include <string>
#include <string_view>

namespace tonvale {

// The soundscapes of a project's scripts (the project model's scripts folder), for the soundscapes a
// played soundscape references that its own document does not define. The scripts are read the first
// time a name is looked up, once; the trees live as long as this object.
class ProjectSoundscapes {
  public:
    // An empty `projectFolder` has no scripts.
    ProjectSoundscapes(std::string projectFolder, std::string soundFolder);
    ProjectSoundscapes(const ProjectSoundscapes&) = delete;
    ProjectSoundscapes& operator=(const ProjectSoundscapes&) = delete;

    // The first definition of `name` in the scripts, by path; nothing when none defines it.
    SoundscapeRef find(std::string_view name);
    std::size_t scriptsRead() const { return m_docs.size(); }

  private:
    void readScripts();

    std::string m_projectFolder;
    std::string m_soundFolder;
    bool m_read = false;
    std::list<LoadResult> m_docs; // stable addresses: a gathering keeps pointers into the trees
};

} // namespace tonvale
