// SPDX-License-Identifier: MIT
#include "audiopanel/WavePreview.h"

#include "audio/AudioEngine.h"
#include "audio/Values.h"
#include "audio/WaveDecoder.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerTexts.h"
#include "document/SoundPaths.h"
#include "texts/CoreTexts.h"

#include <QCoreApplication>

namespace tonvale {

WavePreview::WavePreview(AudioEngine& audio, AudioHost& host, QObject* parent)
    : QObject(parent), m_audio(audio), m_host(host) {
    m_stopTimer.setObjectName(QStringLiteral("stopTimer"));
    m_stopTimer.setInterval(300);
    connect(&m_stopTimer, &QTimer::timeout, this, &WavePreview::stopWhenFinished);
}

void WavePreview::togglePlay(const std::string& cellValue) {
    m_audio.releaseAll();
    if (m_tag != 0) {
        m_tag = 0;
        m_stopTimer.stop();
        m_status = tr("Остановлено");
        emit stateChanged();
        return;
    }
    if (!m_audio.playFile(resolveWavePath(m_soundDir, cellValue))) {
        m_host.showMessage(
            {QT_TRANSLATE_NOOP("tonvale", "Ошибка воспроизведения файла"), "Play", MessageIcon::Error});
        return;
    }
    m_tag = 1;
    m_stopTimer.start();
    m_status = tr("Воспроизведение: %1 сек.")
                   .arg(qs(formatGeneral(m_audio.lengthSeconds(m_audio.previewChannel), 2)));
    emit stateChanged();
}

void WavePreview::stop() {
    m_stopTimer.stop();
    m_enabled = m_waveFound;
    m_tag = 0;
    m_status = tr("Остановлено");
    m_audio.releaseAll();
    emit stateChanged();
}

void WavePreview::stopWhenFinished() {
    if (!m_audio.isPlaying(m_audio.previewChannel))
        stop();
}

QString soundFileFilter() {
    QString patterns;
    for (const std::string& extension : readableSoundExtensions())
        patterns += (patterns.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("*.") +
                    QString::fromStdString(extension);
    return QCoreApplication::translate("tonvale", "Файлы звуков (%1);;WAV (*.wav)").arg(patterns);
}

} // namespace tonvale
