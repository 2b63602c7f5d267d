// SPDX-License-Identifier: MIT
#include "document/SoundPaths.h"

#include "document/Cp1251.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace tonvale {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string toFileSystem(std::string_view scriptBytes) {
#if defined(_WIN32)
    return std::string(scriptBytes);
#else
    return cp1251ToUtf8(scriptBytes);
#endif
}

std::string toScript(std::string_view path) {
#if defined(_WIN32)
    return std::string(path);
#else
    return utf8ToCp1251(path);
#endif
}

bool samePathText(std::string_view a, std::string_view b) {
#if defined(_WIN32)
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
#else
    return a == b;
#endif
}

std::string withoutQuotes(std::string_view text) {
    std::string out(text);
    std::erase(out, '"');
    return out;
}

std::string joinPath(std::string_view folder, std::string_view rest) {
    std::string out(folder);
    if (out.empty() || !isSeparator(out.back()))
        out += NativeSeparator;
    out += rest;
    return out;
}

std::string withoutHints(std::string value) {
    std::string skipped = " ";
    skipped += WaveHintCharacters;
    const std::size_t start = value.find_first_not_of(skipped);
    value.erase(0, start == std::string::npos ? value.size() : start);
    return value;
}

// The file part of a stored value: without quotes and without the playback hints before the name.
std::string fileOfValue(std::string_view storedValue) {
    return withoutHints(withoutQuotes(storedValue));
}

std::string nativeSeparators(std::string value) {
    std::replace_if(value.begin(), value.end(), isSeparator, NativeSeparator);
    return value;
}

// The relative names to try for a stored value, in order: as written, then without the hints.
std::vector<std::string> candidateNames(std::string_view storedValueInFileSystem) {
    std::vector<std::string> names{nativeSeparators(withoutQuotes(storedValueInFileSystem))};
    std::string bare = nativeSeparators(fileOfValue(storedValueInFileSystem));
    if (bare != names.front())
        names.push_back(std::move(bare));
    return names;
}

namespace fs = std::filesystem;

bool existsAs(const fs::path& path, bool wantFolder) {
    std::error_code ec;
    return wantFolder ? fs::is_directory(path, ec) : fs::is_regular_file(path, ec);
}

#if !defined(_WIN32)
// Case folding for names on disk: ASCII and the Cyrillic letters of Windows-1251.
std::string foldCase(std::string_view utf8Name) {
    std::string bytes = utf8ToCp1251(utf8Name);
    for (char& c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDF))
            c = static_cast<char>(u + 0x20);
        else if (u == 0xA8) // Ё
            c = static_cast<char>(0xB8);
    }
    return bytes;
}

// The entry of `folder` whose name equals `name` without regard to case (the first in name order
// when several do), of the wanted kind.
std::optional<fs::path> caseInsensitiveEntry(const fs::path& folder, const std::string& name,
                                             bool wantFolder) {
    const std::string wanted = foldCase(name);
    std::optional<fs::path> best;
    std::error_code ec;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (foldCase(it->path().filename().string()) != wanted || !existsAs(it->path(), wantFolder))
            continue;
        if (!best || it->path() < *best)
            best = it->path();
    }
    return best;
}
#endif

// Walks `relative` below `folder` one name at a time, taking the exact name when it exists and a
// match without regard to case otherwise.
std::optional<std::string> findBelow(const std::string& folder, const std::string& relative,
                                     bool wantFolder) {
    const fs::path exact = fs::path(joinPath(folder, relative));
    if (existsAs(exact, wantFolder))
        return exact.string();
#if defined(_WIN32)
    return std::nullopt;
#else
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= relative.size();) {
        std::size_t end = relative.find(NativeSeparator, start);
        if (end == std::string::npos)
            end = relative.size();
        if (end > start)
            parts.push_back(relative.substr(start, end - start));
        start = end + 1;
    }
    if (parts.empty())
        return std::nullopt;
    fs::path at(folder.empty() ? std::string(1, NativeSeparator) : folder);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const bool folderWanted = !last || wantFolder;
        if (existsAs(at / parts[i], folderWanted)) {
            at /= parts[i];
            continue;
        }
        const std::optional<fs::path> match = caseInsensitiveEntry(at, parts[i], folderWanted);
        if (!match)
            return std::nullopt;
        at = *match;
    }
    return at.string();
#endif
}

} // namespace

std::string convertSlashes(std::string_view text, int mode) {
    std::string out(text);
    if (mode == 0)
        std::replace(out.begin(), out.end(), '\\', '/');
    else if (mode == 1)
        std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::string pathAfterSoundFolder(std::string_view path) {
    const std::size_t at = path.find("sound");
    if (at == std::string_view::npos)
        return std::string(path);
    const std::size_t from = at + 6;
    return from < path.size() ? std::string(path.substr(from)) : std::string();
}

std::string storedWaveValue(std::string_view soundsFolder, std::string_view chosenPath) {
    const std::string chosen = convertSlashes(chosenPath, 0);
    std::string folder = convertSlashes(soundsFolder, 0);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    std::string relative;
    const bool inside = !folder.empty() && chosen.size() > folder.size() + 1 &&
                        samePathText(std::string_view(chosen).substr(0, folder.size()), folder) &&
                        (folder.back() == '/' || chosen[folder.size()] == '/');
    if (inside)
        relative = chosen.substr(folder.size() + (folder.back() == '/' ? 0 : 1));
    else
        relative = convertSlashes(pathAfterSoundFolder(chosenPath), 0);
    return '"' + toScript(relative) + '"';
}

std::string wavePath(std::string_view soundsFolder, std::string_view storedValue) {
    return joinPath(withoutQuotes(soundsFolder), nativeSeparators(fileOfValue(toFileSystem(storedValue))));
}

std::optional<std::string> findWaveFile(std::string_view soundsFolder, std::string_view storedValue) {
    const std::string folder = withoutQuotes(soundsFolder);
    const std::vector<std::string> names = candidateNames(toFileSystem(storedValue));
    if (fileOfValue(toFileSystem(storedValue)).empty())
        return std::nullopt;
    for (const std::string& name : names) {
        if (existsAs(fs::path(joinPath(folder, name)), false))
            return joinPath(folder, name);
    }
    for (const std::string& name : names) {
        if (std::optional<std::string> found = findBelow(folder, name, false))
            return found;
    }
    return std::nullopt;
}

std::string resolveWavePath(std::string_view soundsFolder, std::string_view storedValue) {
    return findWaveFile(soundsFolder, storedValue).value_or(wavePath(soundsFolder, storedValue));
}

std::string waveChooserFolder(std::string_view soundsFolder, std::string_view cellText,
                              const std::function<bool(const std::string&)>& folderExists) {
    std::string text(cellText);
    std::replace(text.begin(), text.end(), '"', ' ');
    std::string value = toFileSystem(fileOfValue(trim(text)));
    if (value.empty())
        return std::string(soundsFolder);
    std::replace_if(value.begin(), value.end(), isSeparator, NativeSeparator);
#if defined(_WIN32)
    const std::size_t end = value.find_last_of("\\:");
#else
    const std::size_t end = value.find_last_of(NativeSeparator);
#endif
    const std::string folderPart = end == std::string::npos ? std::string() : value.substr(0, end + 1);
    std::string candidate = joinPath(soundsFolder, folderPart);
    return folderExists && folderExists(candidate) ? candidate : std::string(soundsFolder);
}

std::string waveChooserFolder(std::string_view soundsFolder, std::string_view cellText) {
    std::string text(cellText);
    std::replace(text.begin(), text.end(), '"', ' ');
    const std::string folder(soundsFolder);
    for (const std::string& name : candidateNames(toFileSystem(trim(text)))) {
        const std::size_t end = name.find_last_of(NativeSeparator);
        if (end == std::string::npos || end == 0)
            continue;
        if (std::optional<std::string> found = findBelow(folder, name.substr(0, end), true))
            return joinPath(*found, {});
    }
    return waveChooserFolder(soundsFolder, cellText,
                             [](const std::string& path) { return existsAs(path, true); });
}

} // namespace tonvale
