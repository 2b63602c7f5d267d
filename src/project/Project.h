// SPDX-License-Identifier: MIT
#pragma once

// A project: the scripts of its scripts folder, the manifest that lists the scripts a game loads
// (soundscapes_manifest.txt: "file" "scripts/soundscapes_x.txt" lines in one block), and the sound
// folder its waves are relative to. Building it reads folders and the manifest; it may run on any
// thread.

#include "project/Problem.h"
#include "project/ScriptOutline.h"

#include <string>
#include <string_view>
#include <vector>

namespace tonvale::project {

inline constexpr std::string_view ManifestFileName = "soundscapes_manifest.txt";

struct ManifestEntry {
    std::string value; // as written, without quotes (script bytes)
    SourcePosition at;
    std::string path; // the file it names: found on disk (also without regard to case), else expected
    bool present = false;
};

struct Manifest {
    std::string path;
    std::vector<ManifestEntry> entries;
    std::vector<Problem> problems; // the manifest's own load problems
};

struct ProjectScript {
    std::string path;
    bool present = true;         // false: a manifest lists it, but it does not exist
    bool listed = false;         // a manifest lists it
    bool besideManifest = false; // it lies in a manifest's folder, so that manifest should list it
};

struct Project {
    std::string soundFolder; // empty: waves are not looked up
    std::vector<Manifest> manifests;
    std::vector<ProjectScript> scripts; // by path; scripts a manifest lists but that are missing included
};

// True for soundscapes_manifest.txt, without regard to case.
bool isManifestFile(std::string_view path);
// Reads a manifest; its entries name files relative to the folder above the manifest's own.
Manifest readManifest(const std::string& path);

// The project in `projectFolder`: the *.txt scripts of its `scripts` folder and the manifest there.
Project openProjectFolder(const std::string& projectFolder, const std::string& soundFolder);

// The project the command line names: files, and folders searched (with their subfolders) for *.txt
// scripts and manifests. Names starting with "~" (the editor's temporary save copies) and hidden
// folders are passed over in folders. Without a sound folder, `<folder>/sound` of a named folder or
// the folder beside a manifest's folder is taken when it exists. A path that does not exist is
// named in `missing`.
Project projectFromPaths(const std::vector<std::string>& paths, std::string soundFolder,
                         std::vector<std::string>& missing);

} // namespace tonvale::project
