#include "document/SoundPaths.h"

#include "document/Cp1251.h"
#include "document/TextHelpers.h"

#include <algorithm>

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

// The file part of a stored value: without quotes and without the playback hints that scripts put
// before a wave name (")ambient/wind.wav", "~)music/theme.mp3"); the file carries no such prefix.
std::string fileOfValue(std::string_view storedValue) {
    std::string value = withoutQuotes(storedValue);
    const std::size_t start = value.find_first_not_of(" )(*~@#");
    value.erase(0, start == std::string::npos ? value.size() : start);
    return value;
}

std::string joinPath(std::string_view folder, std::string_view rest) {
    std::string out(folder);
    if (out.empty() || !isSeparator(out.back()))
        out += NativeSeparator;
    out += rest;
    return out;
}

} // namespace

std::string SleshPos(std::string_view text, int mode) {
    std::string out(text);
    if (mode == 0)
        std::replace(out.begin(), out.end(), '\\', '/');
    else if (mode == 1)
        std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::string SeLPathFromAbs(std::string_view path) {
    const std::size_t at = path.find("sound");
    if (at == std::string_view::npos)
        return std::string(path);
    const std::size_t from = at + 6;
    return from < path.size() ? std::string(path.substr(from)) : std::string();
}

std::string storedWaveValue(std::string_view soundsFolder, std::string_view chosenPath) {
    const std::string chosen = SleshPos(chosenPath, 0);
    std::string folder = SleshPos(soundsFolder, 0);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    std::string relative;
    const bool inside = !folder.empty() && chosen.size() > folder.size() + 1 &&
                        samePathText(std::string_view(chosen).substr(0, folder.size()), folder) &&
                        (folder.back() == '/' || chosen[folder.size()] == '/');
    if (inside)
        relative = chosen.substr(folder.size() + (folder.back() == '/' ? 0 : 1));
    else
        relative = SleshPos(SeLPathFromAbs(chosenPath), 0);
    return '"' + toScript(relative) + '"';
}

std::string wavePath(std::string_view soundsFolder, std::string_view storedValue) {
    std::string value = fileOfValue(toFileSystem(storedValue));
    std::replace_if(value.begin(), value.end(), isSeparator, NativeSeparator);
    return joinPath(withoutQuotes(soundsFolder), value);
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

} // namespace tonvale
