// SPDX-License-Identifier: MIT
#include "dialogs/SettingsDialog.h"

#include "dialogs/Prompts.h"
#include "editor/ParamGrid.h"
#include "settings/Platform.h"
#include "shell/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tonvale {

namespace {
// The sounds folder that belongs to a project folder, joined as the settings file's default is.
QString projectSounds(const QString& projectFolder) {
    return projectFolder + QDir::separator() + QStringLiteral("sound");
}

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}
} // namespace

SettingsDialog::SettingsDialog(AppSettings& settings, Prompts& prompts,
                               std::function<QString()> projectFolder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_settings(settings), m_prompts(prompts), m_projectFolder(std::move(projectFolder)) {
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(tr("Настройки"));

    auto* saveGroup = new QGroupBox(tr("Сохранять файл как..."));
    saveGroup->setObjectName(QStringLiteral("saveGroup"));
    m_saveToTilde = new QRadioButton(tr("Временный файл с префиксом ~ (в каталоге ресурса)"));
    m_saveToTilde->setObjectName(QStringLiteral("saveToTilde"));
    m_saveToOriginal = new QRadioButton(tr("Оригинальный файл в каталоге ресурса"));
    m_saveToOriginal->setObjectName(QStringLiteral("saveToOriginal"));
    m_confirmOriginal = new QCheckBox(tr("Покзывать запрос на подтверждение сохранения оригинального файла"));
    m_confirmOriginal->setObjectName(QStringLiteral("confirmOriginal"));
    m_keepLayout = new QCheckBox(tr("Сохранять оформление файла"));
    m_keepLayout->setObjectName(QStringLiteral("keepLayout"));
    m_keepLayout->setToolTip(tr("Переписываются только строки, которые изменены; остальной текст файла "
                                "(отступы, пустые строки, комментарии, скобки) остаётся как был."));
    auto* saveLayout = new QVBoxLayout(saveGroup);
    saveLayout->addWidget(m_saveToTilde);
    saveLayout->addWidget(m_saveToOriginal);
    saveLayout->addWidget(m_confirmOriginal);
    saveLayout->addWidget(m_keepLayout);

    auto* pathGroup = new QGroupBox(tr("Путь к файлам"));
    pathGroup->setObjectName(QStringLiteral("pathGroup"));
    m_useProjectVariable = new QCheckBox(QStringLiteral("VPROJECT"));
    m_useProjectVariable->setObjectName(QStringLiteral("useProjectVariable"));
    auto folderRow = [this](const char* editName, const char* buttonName, const QString& hint,
                            QLineEdit*& edit, QToolButton*& browse) {
        edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(editName));
        browse = new QToolButton;
        browse->setObjectName(QString::fromLatin1(buttonName));
        browse->setToolTip(hint);
        browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    };
    folderRow("scriptsFolder", "browseScripts", tr("Путь к скриптам"), m_scriptsFolder, m_browseScripts);
    folderRow("soundsFolder", "browseSounds", tr("Путь к звукам"), m_soundsFolder, m_browseSounds);
    auto* pathLayout = new QGridLayout(pathGroup);
    pathLayout->addWidget(m_useProjectVariable, 0, 0, 1, 3);
    pathLayout->addWidget(new QLabel(tr("Путь к скриптам")), 1, 0);
    pathLayout->addWidget(m_scriptsFolder, 1, 1);
    pathLayout->addWidget(m_browseScripts, 1, 2);
    pathLayout->addWidget(new QLabel(tr("Путь к звукам")), 2, 0);
    pathLayout->addWidget(m_soundsFolder, 2, 1);
    pathLayout->addWidget(m_browseSounds, 2, 2);
    pathLayout->setColumnStretch(1, 1);

    auto* languageGroup = new QGroupBox(tr("Язык интерфейса"));
    languageGroup->setObjectName(QStringLiteral("languageGroup"));
    m_language = new QComboBox;
    m_language->setObjectName(QStringLiteral("language"));
    // Each language is named in itself.
    m_language->addItem(QStringLiteral("Русский"), QStringLiteral("ru"));
    m_language->addItem(QStringLiteral("English"), QStringLiteral("en"));
    auto* languageLayout = new QHBoxLayout(languageGroup);
    languageLayout->addWidget(m_language);
    languageLayout->addWidget(new QLabel(tr("(при следующем запуске)")), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(saveGroup);
    layout->addWidget(pathGroup, 1);
    layout->addWidget(languageGroup);

    // "~" is the button selected before the dialog is shown; selecting it again changes nothing, so a
    // save mode other than 1 and 2 survives unless the user picks a button.
    m_saveToTilde->setChecked(true);
    connect(m_saveToTilde, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_saveMode = 1;
    });
    connect(m_saveToOriginal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_saveMode = 2;
    });
    connect(m_useProjectVariable, &QCheckBox::toggled, this,
            [this](bool ticked) { useProjectVariable(ticked); });
    connect(m_browseScripts, &QToolButton::clicked, this, [this] { browseScriptsFolder(); });
    connect(m_browseSounds, &QToolButton::clicked, this, [this] { browseSoundsFolder(); });

    setFixedSize(sizeHint().expandedTo(QSize(423, 222)));
}

void SettingsDialog::prepare() {
    m_saveMode = m_settings.saveMode;
    m_confirmOriginal->setChecked(!m_settings.saveOriginFile);
    m_keepLayout->setChecked(m_settings.keepLayout);
    if (m_settings.scriptsFolder == m_projectFolder()) {
        m_useProjectVariable->setChecked(true);
        m_scriptsFolder->setText(m_settings.scriptsFolder);
        m_scriptsFolder->setEnabled(false);
        m_browseScripts->setEnabled(false);
    }
    if (m_settings.soundsFolder == projectSounds(m_projectFolder())) {
        m_useProjectVariable->setChecked(true);
        m_soundsFolder->setText(m_settings.soundsFolder);
        m_soundsFolder->setEnabled(false);
        m_browseSounds->setEnabled(false);
    }
    m_scriptsFolder->setText(m_settings.scriptsFolder);
    m_soundsFolder->setText(m_settings.soundsFolder);
    m_language->setCurrentIndex(m_settings.language == "en" ? 1 : 0);
}

void SettingsDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        fillFromSettings();
    QDialog::showEvent(event);
}

void SettingsDialog::fillFromSettings() {
    if (m_saveMode == 2)
        m_saveToOriginal->setChecked(true);
    else
        m_saveToTilde->setChecked(true);
}

void SettingsDialog::useProjectVariable(bool ticked) {
    for (QWidget* control : {static_cast<QWidget*>(m_scriptsFolder), static_cast<QWidget*>(m_browseScripts),
                             static_cast<QWidget*>(m_soundsFolder), static_cast<QWidget*>(m_browseSounds)})
        control->setEnabled(!ticked);
    if (ticked) {
        const QString project = m_projectFolder();
        m_scriptsFolder->setText(project);
        m_soundsFolder->setText(projectSounds(project));
    }
}

void SettingsDialog::browseScriptsFolder() {
    const QString chosen = m_prompts.browseFolder(tr("Путь к soundscapes"), m_settings.scriptsFolder);
    if (chosen.isEmpty())
        return;
    m_settings.scriptsFolder = chosen;
    m_scriptsFolder->setText(chosen);
}

void SettingsDialog::browseSoundsFolder() {
    const QString chosen = m_prompts.browseFolder(tr("Путь к \\sound"), m_settings.soundsFolder);
    if (chosen.isEmpty())
        return;
    m_settings.soundsFolder = chosen;
    m_soundsFolder->setText(chosen);
}

void SettingsDialog::apply() {
    m_settings.saveMode = m_saveMode;
    m_settings.saveOriginFile = !m_confirmOriginal->isChecked();
    m_settings.keepLayout = m_keepLayout->isChecked();
    const QString scripts = m_scriptsFolder->text();
    m_settings.scriptsFolder = isFolder(scripts) ? scripts : m_projectFolder();
    const QString sounds = m_soundsFolder->text();
    m_settings.soundsFolder = isFolder(sounds) ? sounds : projectSounds(m_projectFolder());
    // Russian is the default: a settings file without the key stays without it.
    const std::string language = m_language->currentData().toString().toStdString();
    if (language != "ru" || !m_settings.language.empty())
        m_settings.language = language;
}

// ---------------------------------------------------------------------------------------------
// The command of the main window

void MainWindow::showSettings() {
    SettingsDialog dialog(
        m_settings, m_prompts, [this] { return m_platform.variableValue(QStringLiteral("VPROJECT")); }, this);
    dialog.prepare();
    dialog.exec(); // however it is closed, what it shows is applied
    dialog.apply();
    m_grid->setSoundsFolder(m_settings.soundsFolder);
    const QString modeText = saveModeText(m_settings.saveMode);
    if (!modeText.isEmpty())
        setStatus(1, modeText);
}

} // namespace tonvale
