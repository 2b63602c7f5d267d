// SPDX-License-Identifier: MIT
#pragma once

// Wave paths. A "wave" value is stored relative to the sounds folder, with "/" between folders and
// in double quotes; the file itself is found by joining the sounds folder and the value. These are
// the one place that builds such a path. Values are script bytes (Windows-1251); folders and chosen
// paths are in the file system's encoding (UTF-8 on Linux, the bytes themselves on Windows), and the
// conversion between the two happens here. On disk the native separator is used; in a stored value
// both "/" and "\" separate folders.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tonvale {

#if defined(_WIN32)
inline constexpr char NativeSeparator = '\\';
#else
inline constexpr char NativeSeparator = '/';
#endif

// Mode 0 turns every "\" into "/", mode 1 every "/" into "\"; any other mode returns the text as is.
std::string convertSlashes(std::string_view text, int mode);
// The part of a path after its first "sound" and the one character after it (normally the
// separator); the whole path when it holds no "sound". Case-sensitive; the sounds folder plays no part.
std::string pathAfterSoundFolder(std::string_view path);

// The stored value for a file chosen in the wave chooser: the path below the sounds folder when the
// file lies inside it, else what pathAfterSoundFolder keeps; with "/" between folders, in double quotes.
std::string storedWaveValue(std::string_view soundsFolder, std::string_view chosenPath);
// The playback hints that scripts put before a wave name (")ambient/wind.wav", "~)music/theme.mp3");
// the file itself is stored under the name without them.
inline constexpr std::string_view WaveHintCharacters = ")(*~@#^<>}$!?&+%";

// The file a stored value names: the sounds folder, a separator, and the value with every double
// quote removed, without blanks and playback hints before the name, and with "/" and "\" turned
// into the native separator. Pure text: the disk is not asked.
std::string wavePath(std::string_view soundsFolder, std::string_view storedValue);

// The existing file a stored value names, found on disk, or nothing. Tried in this order: the name as
// written (quotes removed), the name without the blanks and playback hints before it, and then, on
// file systems that tell case apart, each of the two matched folder by folder without regard to case
// (ASCII and Cyrillic letters). The wave-file test, the grid's marking, Play and the player panel
// all find their files here; the stored value itself is never changed.
std::optional<std::string> findWaveFile(std::string_view soundsFolder, std::string_view storedValue);
// The path to play: the file findWaveFile finds, else wavePath's (so a failure names the file
// that was expected).
std::string resolveWavePath(std::string_view soundsFolder, std::string_view storedValue);
// The folder the wave chooser opens in for the current cell's text: the folder of the value below
// the sounds folder when it exists, else the sounds folder.
std::string waveChooserFolder(std::string_view soundsFolder, std::string_view cellText,
                              const std::function<bool(const std::string&)>& folderExists);
// The same on the disk, with findWaveFile's resolution of the folder part: as written, without the
// playback hints, then without regard to case.
std::string waveChooserFolder(std::string_view soundsFolder, std::string_view cellText);

} // namespace tonvale
