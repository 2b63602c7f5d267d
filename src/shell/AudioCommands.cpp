// SPDX-License-Identifier: MIT
#include "shell/AudioCommands.h"

#include "audio/AudioEngine.h"
#include "audiopanel/MasterVolumeWindow.h"
#include "audiopanel/PlayerPanel.h"
#include "audiopanel/WavePreview.h"
#include "dialogs/Prompts.h"
#include "document/History.h"
#include "document/SectionTree.h"
#include "editor/Icons.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "settings/Settings.h"
#include "shell/CommandTable.h"
#include "shell/DocumentWindow.h"
#include "texts/CoreTexts.h"

#include <QFile>

namespace tonvale {

namespace {

std::string fileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

AudioCommands::AudioCommands(DocumentWindow& window, Prompts& prompts, AudioEngine& audio, QObject* parent)
    : QObject(parent), m_window(window), m_prompts(prompts), m_audio(audio) {
    setObjectName(QStringLiteral("AudioCommands"));
    installLocaleDecimalSeparator();
    m_preview = new WavePreview(m_audio, *this, this);
    connect(m_preview, &WavePreview::stateChanged, this, &AudioCommands::showPreviewState);
    m_volume = new MasterVolumeWindow(m_audio, *this, m_window.dialogParent());

    CommandTable& commands = m_window.commands();
    commands.setExecute(CommandId::PlayWave, [this] { togglePlay(); });
    commands.setExecute(CommandId::PlayerPanel, [this] { openPlayerPanel(); });
    commands.setExecute(CommandId::MasterVolume, [this] { showMasterVolume(); });
    connect(m_window.grid(), &ParamGrid::cellSelected, this, &AudioCommands::stopPreviewForCell);
    commands.update();
}

bool AudioCommands::previewPlaying() const {
    return m_preview->tag() != 0;
}

AudioCommands::~AudioCommands() {
    m_preview->stopTimer().stop();
    delete m_volume;
}

void AudioCommands::togglePlay() {
    ParamGrid* grid = m_window.grid();
    const ParamGridModel* model = grid->gridModel();
    const int row = model->currentRow();
    const QString cell =
        row >= 0 && row < model->dataRows() ? model->cellText(row, ParamGridModel::ValueColumn) : QString();
    m_preview->setSoundDir(fileSystemPath(grid->soundsFolder()));
    m_preview->setWaveFound(model->waveFound());
    // The audio layer takes the value as script bytes, as the document stores it.
    m_preview->togglePlay(qstringToScript(cell));
}

void AudioCommands::showPreviewState() {
    QAction* play = m_window.commands().action(CommandId::PlayWave);
    play->setText(m_preview->caption());
    play->setToolTip(m_preview->hint());
    play->setStatusTip(m_preview->hint());
    play->setIcon(commandIcon(m_preview->imageIndex() == 4 ? IconId::Stop : IconId::Play));
    m_window.setStatus(2, m_preview->statusText());
    m_window.commands().update();
    m_window.grid()->viewport()->update();
}

void AudioCommands::stopPreview() {
    if (m_preview->tag() == 0)
        return;
    m_preview->setWaveFound(m_window.grid()->gridModel()->waveFound());
    m_preview->stop();
}

void AudioCommands::stopPreviewForCell() {
    // Selecting another cell ends a playing preview; the status panel then reads "Остановлено".
    stopPreview();
}

void AudioCommands::openPlayerPanel() {
    Node* selected = m_window.selectedNode();
    if (m_window.tree().empty() || selected == nullptr || selected->level() != 0)
        return;
    // The preview's timer must not find its channel gone while the panel plays and then release
    // the panel's channels: one player at a time.
    stopPreview();
    const bool modified =
        tonvale::openPlayerPanel(m_window.tree(), selected, fileSystemPath(m_window.grid()->soundsFolder()),
                                 m_audio, *this, m_window.modified(), m_window.dialogParent(), m_volume,
                                 fileSystemPath(m_window.settings().scriptsFolder));
    m_window.setModified(modified);
    m_window.grid()->refresh();
}

void AudioCommands::showMasterVolume() {
    m_volume->show();
    m_volume->raise();
    m_volume->activateWindow();
}

void AudioCommands::showMessage(const Message& message) {
    m_prompts.message(coreText(message.text), coreText(message.caption), message.icon);
}

int AudioCommands::masterVolumeSetting() const {
    return m_window.settings().masterVolumeSetting;
}

void AudioCommands::setMasterVolumeSetting(int value) {
    m_window.settings().masterVolumeSetting = value;
}

void AudioCommands::documentChanged() {
    m_window.setModified(true);
    m_window.grid()->refresh();
}

std::string AudioCommands::renderFileName(const std::string& suggestedName) {
    const QString chosen =
        m_prompts.saveFile(tr("Сохранить звучание в WAV"), m_window.settings().scriptsFolder,
                           QStringLiteral("WAV (*.wav)"), QStringLiteral("wav"), fromUtf8(suggestedName));
    return chosen.isEmpty() ? std::string() : fileSystemPath(chosen);
}

void AudioCommands::editDocument(const std::function<void(TreeObserver* observer)>& edit) {
    m_window.beginStructuralEdit();
    {
        HistoryStep step(m_window.history(), tr("применение панели проигрывателя").toStdString());
        edit(m_window.editObserver());
    }
    m_window.endStructuralEdit(nullptr);
}

} // namespace tonvale
