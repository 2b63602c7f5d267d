// SPDX-License-Identifier: MIT
#include "audiopanel/ProjectSoundscapes.h"

#include "project/Project.h"

namespace tonvale {

ProjectSoundscapes::ProjectSoundscapes(std::string projectFolder, std::string soundFolder)
    : m_projectFolder(std::move(projectFolder)), m_soundFolder(std::move(soundFolder)) {}

SoundscapeRef ProjectSoundscapes::find(std::string_view name) {
    if (!m_read)
        readScripts();
    for (const LoadResult& doc : m_docs)
        if (const Node* node = findSoundscape(doc.tree, name))
            return {&doc.tree, node};
    return {};
}

void ProjectSoundscapes::readScripts() {
    m_read = true;
    if (m_projectFolder.empty())
        return;
    const project::Project project = project::openProjectFolder(m_projectFolder, m_soundFolder);
    for (const project::ProjectScript& script : project.scripts) {
        if (!script.present)
            continue;
        LoadResult doc = loadScriptFile(script.path);
        // A script cut short by a line nested too deep still defines what was read before it.
        if (doc.ok() || doc.failure == LoadFailure::LoadError)
            m_docs.push_back(std::move(doc));
    }
}

} // namespace tonvale
