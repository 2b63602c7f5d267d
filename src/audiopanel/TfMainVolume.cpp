#include "audiopanel/TfMainVolume.h"

#include "audio/PlayingWav.h"
#include "audio/Values.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerTexts.h"

#include <QFrame>
#include <QKeyEvent>
#include <QSlider>

namespace tonvale {

TfMainVolume::TfMainVolume(PlayingWav& audio, AudioHost& host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_audio(audio), m_host(host) {
    setObjectName(QStringLiteral("TfMainVolume"));
    setWindowTitle(qs("Общая громкость"));
    setFixedSize(242, 39);
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::StyledPanel);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(0, 0, 242, 39);
    m_trVol = new QSlider(Qt::Horizontal, this);
    m_trVol->setObjectName(QStringLiteral("TrVol"));
    m_trVol->setGeometry(5, 10, 234, 20);
    m_trVol->setRange(0, 100);
    m_trVol->setPageStep(10);
    m_trVol->setTickPosition(QSlider::NoTicks);
    connect(m_trVol, &QSlider::valueChanged, this, [this] { VolumSet(); });
}

void TfMainVolume::VolumSet() {
    const int position = m_trVol->value();
    m_host.setGenVol(100 - position);
    const float v = static_cast<float>(position / 100.0);
    setWindowTitle(qs("Общая громкость [" + formatGeneral(v, 4) + "]"));
    m_audio.SetMasterVolume(v);
}

void TfMainVolume::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    m_trVol->setValue(100 - m_host.genVol());
    VolumSet();
}

void TfMainVolume::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tonvale
