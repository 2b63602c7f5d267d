#include "audiopanel/WavePreview.h"

#include "audio/PlayingWav.h"
#include "audio/Values.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerTexts.h"
#include "document/SoundPaths.h"

namespace tonvale {

WavePreview::WavePreview(PlayingWav& audio, AudioHost& host, QObject* parent)
    : QObject(parent), m_audio(audio), m_host(host) {
    m_timActive.setObjectName(QStringLiteral("TimActive"));
    m_timActive.setInterval(300);
    connect(&m_timActive, &QTimer::timeout, this, &WavePreview::TimActiveTimer);
}

void WavePreview::PlayExecute(const std::string& cellValue) {
    m_audio.ReleaseAllSounds();
    if (m_tag != 0) {
        m_tag = 0;
        m_timActive.stop();
        m_status = qs("Остановлено");
        emit stateChanged();
        return;
    }
    if (!m_audio.PlayWaveFile(resolveWavePath(m_soundDir, cellValue))) {
        m_host.showMessage({"Ошибка воспроизведения файла", "Play", MessageIcon::Error});
        return;
    }
    m_tag = 1;
    m_timActive.start();
    m_status = qs("Воспроизведение: " + formatGeneral(m_audio.ChannelLengthSec(m_audio.PreviewChannel), 2) + " сек.");
    emit stateChanged();
}

void WavePreview::StopPlayBt() {
    m_timActive.stop();
    m_enabled = m_waveFound;
    m_tag = 0;
    m_status = qs("Остановлено");
    m_audio.ReleaseAllSounds();
    emit stateChanged();
}

void WavePreview::TimActiveTimer() {
    if (!m_audio.IsChannelPlaying(m_audio.PreviewChannel))
        StopPlayBt();
}

} // namespace tonvale
