// SPDX-License-Identifier: MIT
#include "audiopanel/MasterVolumeWindow.h"

#include "audio/AudioEngine.h"
#include "audio/Values.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerTexts.h"

#include <QFrame>
#include <QKeyEvent>
#include <QSlider>

namespace tonvale {

MasterVolumeWindow::MasterVolumeWindow(AudioEngine& audio, AudioHost& host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_audio(audio), m_host(host) {
    setObjectName(QStringLiteral("MasterVolumeWindow"));
    setWindowTitle(tr("Общая громкость"));
    setFixedSize(242, 39);
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::StyledPanel);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(0, 0, 242, 39);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("slider"));
    m_slider->setGeometry(5, 10, 234, 20);
    m_slider->setRange(0, 100);
    m_slider->setPageStep(10);
    m_slider->setTickPosition(QSlider::NoTicks);
    connect(m_slider, &QSlider::valueChanged, this, [this] { applyVolume(); });
}

void MasterVolumeWindow::applyVolume() {
    const int position = m_slider->value();
    m_host.setMasterVolumeSetting(100 - position);
    const float v = static_cast<float>(position / 100.0);
    setWindowTitle(tr("Общая громкость [%1]").arg(qs(formatGeneral(v, 4))));
    m_audio.setMasterVolume(v);
}

void MasterVolumeWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    m_slider->setValue(100 - m_host.masterVolumeSetting());
    applyVolume();
}

void MasterVolumeWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tonvale
