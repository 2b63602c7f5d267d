// SPDX-License-Identifier: MIT
#include "project/ProjectIndex.h"

#include <algorithm>
#include <memory>

namespace tonvale::project {

namespace {

auto byPath(std::string_view path) {
    return [path](const ScriptIndex& script) { return script.path < path; };
}

} // namespace

void ProjectIndex::replace(ScriptIndex script) {
    const auto at = std::partition_point(m_scripts.begin(), m_scripts.end(), byPath(script.path));
    if (at != m_scripts.end() && at->path == script.path)
        *at = std::move(script);
    else
        m_scripts.insert(at, std::move(script));
    rebuildLookups();
}

void ProjectIndex::remove(std::string_view path) {
    const auto at = std::partition_point(m_scripts.begin(), m_scripts.end(), byPath(path));
    if (at == m_scripts.end() || at->path != path)
        return;
    m_scripts.erase(at);
    rebuildLookups();
}

const ScriptIndex* ProjectIndex::script(std::string_view path) const {
    const auto at = std::partition_point(m_scripts.begin(), m_scripts.end(), byPath(path));
    return at != m_scripts.end() && at->path == path ? &*at : nullptr;
}

void ProjectIndex::rebuildLookups() {
    m_definitions.clear();
    m_references.clear();
    for (std::size_t s = 0; s < m_scripts.size(); ++s) {
        const ScriptIndex& script = m_scripts[s];
        for (std::size_t i = 0; i < script.soundscapes.size(); ++i)
            m_definitions[foldName(script.soundscapes[i].name)].push_back({s, i});
        for (std::size_t i = 0; i < script.references.size(); ++i)
            m_references[foldName(script.references[i].target)].push_back({s, i});
    }
}

std::vector<ProjectPlace> ProjectIndex::definitions(std::string_view name) const {
    std::vector<ProjectPlace> places;
    const auto found = m_definitions.find(foldName(name));
    if (found == m_definitions.end())
        return places;
    for (const Item& item : found->second) {
        const ScriptIndex& script = m_scripts[item.script];
        const SoundscapeDefinition& definition = script.soundscapes[item.item];
        places.push_back({script.path, definition.at, definition.name, definition.at});
    }
    return places;
}

std::vector<ProjectPlace> ProjectIndex::references(std::string_view name) const {
    std::vector<ProjectPlace> places;
    const auto found = m_references.find(foldName(name));
    if (found == m_references.end())
        return places;
    for (const Item& item : found->second) {
        const ScriptIndex& script = m_scripts[item.script];
        const SoundscapeReference& reference = script.references[item.item];
        places.push_back({script.path, reference.at, reference.soundscape, reference.soundscapeAt});
    }
    return places;
}

bool ProjectIndex::isDefined(std::string_view name) const {
    return m_definitions.contains(foldName(name));
}

ProjectIndex buildProjectIndex(const Project& project, const IndexProgress& progress) {
    std::unique_ptr<WaveLookup> waves;
    if (!project.soundFolder.empty())
        waves = std::make_unique<WaveLookup>(project.soundFolder);
    std::vector<ScriptIndex> scripts;
    const std::size_t total = project.scripts.size();
    for (std::size_t i = 0; i < total; ++i) {
        if (project.scripts[i].present)
            scripts.push_back(indexScriptFile(project.scripts[i].path, waves.get()));
        if (progress && !progress(i + 1, total))
            break;
    }
    ProjectIndex index;
    std::sort(scripts.begin(), scripts.end(),
              [](const ScriptIndex& a, const ScriptIndex& b) { return a.path < b.path; });
    index.m_scripts = std::move(scripts);
    index.rebuildLookups();
    return index;
}

} // namespace tonvale::project
