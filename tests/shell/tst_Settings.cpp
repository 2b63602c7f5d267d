// SPDX-License-Identifier: MIT
#include "settings/Platform.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

using namespace tonvale;

TEST(Settings, DefaultsWithoutAFile) {
    IniFile ini;
    int lookups = 0;
    const AppSettings s = readSettings(ini, [&] {
        ++lookups;
        return QStringLiteral("/proj");
    });
    EXPECT_EQ(s.saveMode, 1);
    EXPECT_EQ(s.scriptsFolder, QStringLiteral("/proj"));
    EXPECT_EQ(s.soundsFolder, QStringLiteral("/proj/sound"));
    EXPECT_EQ(s.fontSize, 8);
    EXPECT_EQ(s.someText, QStringLiteral("Brindle Kit"));
    EXPECT_FALSE(s.saveOriginFile);
    EXPECT_EQ(s.masterVolumeSetting, 0);
    EXPECT_TRUE(s.lastFile.isEmpty());
    EXPECT_EQ(lookups, 2);
}

TEST(Settings, WritesEveryKeyInOrderIntoANewFile) {
    IniFile ini;
    AppSettings s;
    s.saveMode = 2;
    s.scriptsFolder = QStringLiteral("C:\\game");
    s.soundsFolder = QStringLiteral("C:\\game\\sound");
    s.lastFile = QStringLiteral("C:\\game\\scripts\\a.txt");
    s.recent = {"/r1.txt", "/r2.txt", "", "", ""};
    s.fontSize = 12;
    s.someText = QStringLiteral("Привет");
    s.saveOriginFile = true;
    s.masterVolumeSetting = 40;
    writeSettings(ini, s);
    EXPECT_EQ(ini.serialize(),
              "[Options]\r\nSaved=2\r\nLastFile=C:\\game\\scripts\\a.txt\r\nFontS=12\r\nCurdir=C:\\game\r\n"
              "SomeText=Привет\r\nSaveOriginFile=1\r\nSounddir=C:\\game\\sound\r\nGenVol=40\r\n\r\n"
              "[LastF]\r\nf01=/r1.txt\r\nf02=/r2.txt\r\nf03=\r\nf04=\r\nf05=\r\n");
    // And reads back the same.
    const AppSettings back = readSettings(ini, [] { return QString(); });
    EXPECT_EQ(back.scriptsFolder, s.scriptsFolder);
    EXPECT_EQ(back.someText, s.someText);
    EXPECT_EQ(back.recent, s.recent);
    EXPECT_TRUE(back.saveOriginFile);
}

TEST(Settings, PanelKeysAreWrittenOnlyOnceAPanelWasShown) {
    IniFile ini;
    ini.parse("[Options]\r\nSaved=1\r\n");
    AppSettings s = readSettings(ini, [] { return QString(); });
    EXPECT_FALSE(s.projectPanel);
    writeSettings(ini, s);
    EXPECT_EQ(ini.serialize().find("Panel"), std::string::npos) << ini.serialize();
    s.projectPanel = true;
    writeSettings(ini, s);
    EXPECT_NE(ini.serialize().find("ProjectPanel=1"), std::string::npos);
    EXPECT_EQ(ini.serialize().find("ProblemsPanel"), std::string::npos);
    EXPECT_TRUE(readSettings(ini, [] { return QString(); }).projectPanel);
    // Hidden again: the stored key follows.
    s.projectPanel = false;
    writeSettings(ini, s);
    EXPECT_NE(ini.serialize().find("ProjectPanel=0"), std::string::npos);
    EXPECT_FALSE(readSettings(ini, [] { return QString(); }).projectPanel);
    // The layout-keeping save follows the same rule.
    EXPECT_EQ(ini.serialize().find("KeepLayout"), std::string::npos);
    s.keepLayout = true;
    writeSettings(ini, s);
    EXPECT_TRUE(readSettings(ini, [] { return QString(); }).keepLayout);
}

TEST(Settings, EmptySomeTextBecomesTheDefault) {
    IniFile ini;
    ini.parse("[Options]\nSomeText=\n");
    EXPECT_EQ(readSettings(ini, [] { return QString(); }).someText, QStringLiteral("Brindle Kit"));
}

TEST(EnvironmentFile, FindsTheNamedValue) {
    const std::string file =
        "# system environment\nPATH=\"/usr/bin\"\nexport VPROJECT='/srv/game'\nOTHER=x\n";
    EXPECT_EQ(environmentFileValue(file, QStringLiteral("VPROJECT")), QStringLiteral("/srv/game"));
    EXPECT_EQ(environmentFileValue(file, QStringLiteral("PATH")), QStringLiteral("/usr/bin"));
    EXPECT_FALSE(environmentFileValue(file, QStringLiteral("VPROJ")).has_value());
    EXPECT_FALSE(environmentFileValue("#VPROJECT=/x\n", QStringLiteral("VPROJECT")).has_value());
}

TEST(Platform, StartdirAsksTheSystemValueOnlyWhenTheProcessHasTheVariable) {
    Platform platform;
    platform.setEnvironmentFile(QStringLiteral("/nonexistent/environment"));
    platform.setEnvironmentLookup([](const QString&) { return false; });
    EXPECT_TRUE(platform.variableValue(QStringLiteral("VPROJECT")).isEmpty());
    platform.setEnvironmentLookup([](const QString&) { return true; });
    EXPECT_TRUE(platform.variableValue(QStringLiteral("VPROJECT")).isEmpty());
}
