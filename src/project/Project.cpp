// SPDX-License-Identifier: MIT
#include "project/Project.h"

#include "document/Cp1251.h"
#include "document/FileIO.h"
#include "document/ScriptKeys.h"
#include "document/SoundPaths.h"
#include "project/LoadCheck.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace tonvale::project {

namespace fs = std::filesystem;

namespace {

bool isTxt(const fs::path& path) {
    return sameKey(path.extension().string(), ".txt");
}

bool isEditorCopy(const fs::path& path) {
    return path.filename().string().starts_with('~');
}

// The same file however it was named: the key compares paths.
std::string identity(const std::string& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::path(path), ec);
    return (ec ? fs::path(path).lexically_normal() : canonical).string();
}

// The game's folder a manifest's entries start from: the one above the manifest's own folder.
fs::path manifestRoot(const std::string& manifestPath) {
    fs::path folder = fs::path(manifestPath).parent_path();
    if (folder.empty())
        folder = ".";
    const fs::path name = folder.filename();
    if (name == "." || name == ".." || !folder.has_parent_path())
        return (folder / "..").lexically_normal();
    return folder.parent_path();
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// The *.txt files of a folder, and of its subfolders when `deep`, in name order.
std::vector<std::string> textFiles(const fs::path& folder, bool deep) {
    std::vector<std::string> files;
    std::error_code ec;
    const auto options = fs::directory_options::skip_permission_denied;
    auto take = [&](const fs::directory_entry& entry) {
        if (entry.is_regular_file(ec) && isTxt(entry.path()) && !isEditorCopy(entry.path()))
            files.push_back(entry.path().string());
    };
    if (deep) {
        fs::recursive_directory_iterator it(folder, options, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            if (it->path().filename().string().starts_with('.') && it->is_directory(ec))
                it.disable_recursion_pending();
            else
                take(*it);
        }
    } else {
        for (fs::directory_iterator it(folder, options, ec), end; !ec && it != end; it.increment(ec))
            take(*it);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Collects scripts by identity, so a file named twice (by a folder and by a manifest) is one script.
class ProjectBuilder {
  public:
    void addScript(const std::string& path) {
        if (isManifestFile(path)) {
            if (m_manifests.emplace(identity(path), path).second)
                m_project.manifests.push_back(readManifest(path));
            return;
        }
        script(path);
    }

    Project finish() {
        for (Manifest& manifest : m_project.manifests) {
            const std::string folder = identity(fs::path(manifest.path).parent_path().string());
            for (const ManifestEntry& entry : manifest.entries) {
                ProjectScript& listed = script(entry.path);
                listed.listed = true;
                listed.present = entry.present;
            }
            for (auto& [key, index] : m_byIdentity) {
                if (fs::path(key).parent_path().string() == folder)
                    m_project.scripts[index].besideManifest = true;
            }
        }
        std::sort(m_project.scripts.begin(), m_project.scripts.end(),
                  [](const ProjectScript& a, const ProjectScript& b) { return a.path < b.path; });
        std::sort(m_project.manifests.begin(), m_project.manifests.end(),
                  [](const Manifest& a, const Manifest& b) { return a.path < b.path; });
        return std::move(m_project);
    }

    Project& project() { return m_project; }

  private:
    ProjectScript& script(const std::string& path) {
        const auto [it, added] = m_byIdentity.emplace(identity(path), m_project.scripts.size());
        if (added)
            m_project.scripts.push_back({path});
        return m_project.scripts[it->second];
    }

    Project m_project;
    std::map<std::string, std::size_t> m_byIdentity;
    std::map<std::string, std::string> m_manifests;
};

} // namespace

bool isManifestFile(std::string_view path) {
    return sameKey(fs::path(path).filename().string(), ManifestFileName);
}

Manifest readManifest(const std::string& path) {
    Manifest manifest;
    manifest.path = path;
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) {
        manifest.problems.push_back(
            makeProblem(Check::LoadFailure, path, {1, 1}, "cannot read the file: " + error));
        return manifest;
    }
    const ScriptOutline outline = readOutline(bytes);
    if (std::optional<Problem> problem = loadProblem(path, bytes, outline))
        manifest.problems.push_back(std::move(*problem));
    const std::string root = manifestRoot(path).string();
    for (const OutlineElement& element : outline.elements) {
        if (element.parent < 0 || !sameKey(element.key, "file") || element.value.empty())
            continue;
        ManifestEntry entry{element.value, element.valueAt, {}, false};
        if (std::optional<std::string> found = findWaveFile(root, element.value)) {
            entry.path = fs::path(*found).lexically_normal().string();
            entry.present = true;
        } else {
            entry.path = fs::path(wavePath(root, element.value)).lexically_normal().string();
        }
        manifest.entries.push_back(std::move(entry));
    }
    return manifest;
}

Project openProjectFolder(const std::string& projectFolder, const std::string& soundFolder) {
    ProjectBuilder builder;
    builder.project().soundFolder = soundFolder;
    for (const std::string& file : textFiles(fs::path(projectFolder) / "scripts", false))
        builder.addScript(file);
    return builder.finish();
}

Project projectFromPaths(const std::vector<std::string>& paths, std::string soundFolder,
                         std::vector<std::string>& missing) {
    ProjectBuilder builder;
    std::vector<std::string> soundCandidates;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (isFolder(path)) {
            soundCandidates.push_back((fs::path(path) / "sound").string());
            for (const std::string& file : textFiles(path, true))
                builder.addScript(file);
        } else if (fs::exists(path, ec)) {
            builder.addScript(path);
        } else {
            missing.push_back(path);
        }
    }
    Project project = builder.finish();
    for (const Manifest& manifest : project.manifests)
        soundCandidates.push_back((manifestRoot(manifest.path) / "sound").lexically_normal().string());
    if (soundFolder.empty()) {
        const auto found = std::find_if(soundCandidates.begin(), soundCandidates.end(),
                                        [](const std::string& folder) { return isFolder(folder); });
        if (found != soundCandidates.end())
            soundFolder = *found;
    }
    project.soundFolder = std::move(soundFolder);
    return project;
}

} // namespace tonvale::project
