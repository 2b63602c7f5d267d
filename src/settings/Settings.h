// SPDX-License-Identifier: MIT
#pragma once

// The values the main window keeps in tnv.ini, with their defaults, and the one read at start-up and
// the one write at shutdown (keys in a fixed order).

#include "settings/IniFile.h"

#include <QString>
#include <array>
#include <functional>

namespace tonvale {

struct AppSettings {
    int saveMode = 1;      // 1: Save writes "~" + name; 2: Save writes the file itself
    QString scriptsFolder; // scripts folder
    QString soundsFolder;  // sounds folder
    QString lastFile;      // the current file at the last shutdown
    std::array<QString, 5> recent;
    int fontSize = 8;
    QString someText = QStringLiteral("Brindle Kit");
    bool saveOriginFile = false;
    int masterVolumeSetting = 0;
    // Where the window stood and how wide the tree pane was ([Window], base64 of Qt's own state);
    // empty: the window's defaults.
    std::string windowGeometry;
    std::string splitterState;
    // The project and problems panels are shown. Written only once a panel was shown, so a settings
    // file of a run that never showed them stays as it was.
    bool projectPanel = false;
    bool problemsPanel = false;
    // Save keeps the script's own layout (only the lines that edits touched are rewritten) instead of
    // writing it in the canonical layout. Written only once set or already stored.
    bool keepLayout = false;
    // The interface language ("ru" or "en"), applied at the next start; empty: the key is absent and
    // the language is Russian (and nothing is written until the user picks one).
    std::string language;
};

inline constexpr const char* SettingsFileName = "tnv.ini";
inline constexpr const char* DefaultSomeText = "Brindle Kit";

// The text tab's font sizes: even sizes from 8 to 14 points. A stored size outside them is shown (and
// written back) as the nearest of them.
inline constexpr int MinFontSize = 8;
inline constexpr int MaxFontSize = 14;
int snappedFontSize(int stored);

// `projectFolder` is asked once for Curdir's default and once for Sounddir's.
// The status bar's text of a save mode; empty for a mode that has none.
QString saveModeText(int mode);

AppSettings readSettings(const IniFile& ini, const std::function<QString()>& projectFolder);
// Writes Saved, LastFile, f01..f05, FontS, Curdir, SomeText, SaveOriginFile, Sounddir, GenVol,
// ProjectPanel, ProblemsPanel and KeepLayout when they are set or already stored, and Lang when a language
// was stored or picked.
void writeSettings(IniFile& ini, const AppSettings& settings);

// The language kept in the settings file at `path` ("ru", "en", or empty), read before any window
// exists so that the window is built in it.
std::string storedLanguage(const std::string& path);

// Settings text is stored as the system's 8-bit text (UTF-8 on Linux), raw.
QString settingsText(const std::string& bytes);
std::string settingsBytes(const QString& text);

} // namespace tonvale
