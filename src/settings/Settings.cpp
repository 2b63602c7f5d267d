// SPDX-License-Identifier: MIT
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>

namespace tonvale {

namespace {
constexpr const char* Options = "Options";
constexpr const char* LastF = "LastF";
constexpr const char* Window = "Window";
const char* recentKey(std::size_t slot) {
    static constexpr const char* keys[] = {"f01", "f02", "f03", "f04", "f05"};
    return keys[slot];
}
} // namespace

QString settingsText(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string settingsBytes(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

AppSettings readSettings(const IniFile& ini, const std::function<QString()>& projectFolder) {
    AppSettings s;
    auto text = [&ini](const char* section, const char* key, const QString& fallback) {
        const auto found = ini.value(section, key);
        return found ? settingsText(*found) : fallback;
    };
    // Only 2 writes the file itself; any other stored mode behaves, shows and is written back as 1.
    s.saveMode = ini.readInteger(Options, "Saved", 1) == 2 ? 2 : 1;
    s.scriptsFolder = ini.value(Options, "Curdir") ? text(Options, "Curdir", {}) : projectFolder();
    s.soundsFolder = ini.value(Options, "Sounddir")
                         ? text(Options, "Sounddir", {})
                         : projectFolder() + QDir::separator() + QStringLiteral("sound");
    s.lastFile = text(Options, "LastFile", {});
    for (std::size_t i = 0; i < s.recent.size(); ++i)
        s.recent[i] = text(LastF, recentKey(i), {});
    s.fontSize = snappedFontSize(ini.readInteger(Options, "FontS", 8));
    s.someText = text(Options, "SomeText", QString::fromUtf8(DefaultSomeText));
    if (s.someText.isEmpty())
        s.someText = QString::fromUtf8(DefaultSomeText);
    s.saveOriginFile = ini.readBool(Options, "SaveOriginFile", false);
    s.masterVolumeSetting = ini.readInteger(Options, "GenVol", 0);
    if (const auto lang = ini.value(Options, "Lang"); lang && (*lang == "ru" || *lang == "en"))
        s.language = *lang;
    s.windowGeometry = ini.readString(Window, "Geometry", "");
    s.splitterState = ini.readString(Window, "Splitter", "");
    s.projectPanel = ini.readBool(Options, "ProjectPanel", false);
    s.problemsPanel = ini.readBool(Options, "ProblemsPanel", false);
    s.keepLayout = ini.readBool(Options, "KeepLayout", false);
    return s;
}

void writeSettings(IniFile& ini, const AppSettings& s) {
    ini.writeInteger(Options, "Saved", s.saveMode);
    ini.writeString(Options, "LastFile", settingsBytes(s.lastFile));
    for (std::size_t i = 0; i < s.recent.size(); ++i)
        ini.writeString(LastF, recentKey(i), settingsBytes(s.recent[i]));
    ini.writeInteger(Options, "FontS", s.fontSize);
    ini.writeString(Options, "Curdir", settingsBytes(s.scriptsFolder));
    ini.writeString(Options, "SomeText", settingsBytes(s.someText));
    ini.writeBool(Options, "SaveOriginFile", s.saveOriginFile);
    ini.writeString(Options, "Sounddir", settingsBytes(s.soundsFolder));
    ini.writeInteger(Options, "GenVol", s.masterVolumeSetting);
    if (!s.language.empty())
        ini.writeString(Options, "Lang", s.language);
    if (!s.windowGeometry.empty())
        ini.writeString(Window, "Geometry", s.windowGeometry);
    if (!s.splitterState.empty())
        ini.writeString(Window, "Splitter", s.splitterState);
    const auto writePanel = [&ini](const char* key, bool shown) {
        if (shown || ini.value(Options, key))
            ini.writeBool(Options, key, shown);
    };
    writePanel("ProjectPanel", s.projectPanel);
    writePanel("ProblemsPanel", s.problemsPanel);
    writePanel("KeepLayout", s.keepLayout);
}

std::string storedLanguage(const std::string& path) {
    IniFile ini;
    ini.load(path);
    return readSettings(ini, [] { return QString(); }).language;
}

int snappedFontSize(int stored) {
    const int even = stored - stored % 2;
    return std::clamp(even, MinFontSize, MaxFontSize);
}

QString saveModeText(int mode) {
    if (mode == 0 || mode == 1)
        return QCoreApplication::translate("tonvale", "Сохранить изменения (во временный файл \"~\")");
    if (mode == 2)
        return QCoreApplication::translate("tonvale", "Сохранить изменения (в оригинальный файл)");
    return {};
}

} // namespace tonvale
