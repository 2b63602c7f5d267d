// SPDX-License-Identifier: MIT
#pragma once

// The settings dialog "Настройки": the save policy (the "~" file or the original file, and whether
// saving over the original asks first), the two project paths and the interface language (used from
// the next start). "VPROJECT" ties both paths to the project folder (asked afresh of the platform at
// every use). The dialog has no OK or Cancel: however it is closed, what it shows is applied by
// apply(). It works on the main window's settings: a folder picked with a browse button becomes the
// scripts or sounds folder at once; the rest waits for apply().

#include "settings/Settings.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace tonvale {

class Prompts;

class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    SettingsDialog(AppSettings& settings, Prompts& prompts, std::function<QString()> projectFolder,
                   QWidget* parent = nullptr);

    // The steps before the dialog is shown (check boxes and fields from the settings), and the ones
    // after it closed (settings from what it shows, folders that do not exist replaced by the defaults).
    void prepare();
    void apply();

    int saveModeValue() const { return m_saveMode; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void fillFromSettings();
    void useProjectVariable(bool ticked);
    void browseScriptsFolder();
    void browseSoundsFolder();

    AppSettings& m_settings;
    Prompts& m_prompts;
    std::function<QString()> m_projectFolder;
    int m_saveMode = 1;

    QRadioButton* m_saveToTilde = nullptr;
    QRadioButton* m_saveToOriginal = nullptr;
    QCheckBox* m_confirmOriginal = nullptr;
    QCheckBox* m_keepLayout = nullptr;
    QCheckBox* m_useProjectVariable = nullptr;
    QLineEdit* m_scriptsFolder = nullptr;
    QToolButton* m_browseScripts = nullptr;
    QLineEdit* m_soundsFolder = nullptr;
    QToolButton* m_browseSounds = nullptr;
    QComboBox* m_language = nullptr;
};

} // namespace tonvale
