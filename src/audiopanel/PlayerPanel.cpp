// SPDX-License-Identifier: MIT
#include "audiopanel/PlayerPanel.h"

#include "audio/AudioEngine.h"
#include "audio/DecimalSeparator.h"
#include "audio/RangeBars.h"
#include "audio/SoundscapeAnalysis.h"
#include "audio/SoundscapePlayer.h"
#include "audio/SoundscapeRender.h"
#include "audio/Values.h"
#include "audio/WaveDecoder.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerStatusBar.h"
#include "audiopanel/PlayerTexts.h"
#include "audiopanel/ProjectSoundscapes.h"
#include "audiopanel/TrackBar.h"
#include "document/Edits.h"
#include "document/NewElements.h"
#include "document/SectionTree.h"
#include "texts/CoreTexts.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QValidator>
#include <algorithm>
#include <atomic>
#include <filesystem>

namespace tonvale {

namespace {

constexpr int ClientWidth = 638;
constexpr int ClientHeight = 509;
constexpr int LoopWidth = 117;
constexpr int RandWidth = 379;
constexpr int MainWidth = 142;
constexpr int GroupHeight = 488;

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

QFont normalFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(8);
    f.setBold(false); // set explicitly, so that children of the bold group boxes stay normal
    return f;
}

QFont boldFont() {
    QFont f = normalFont();
    f.setBold(true);
    return f;
}

// What the edit boxes take however text arrives (keys, input methods, anything pasted or dropped that
// gets past the event filter): ASCII digits, and the locale's decimal separator where fractions are
// allowed.
class NumberValidator : public QValidator {
  public:
    NumberValidator(bool fractions, QObject* parent) : QValidator(parent), m_fractions(fractions) {}
    State validate(QString& input, int& /*pos*/) const override {
        const auto separator = static_cast<char16_t>(static_cast<unsigned char>(localeDecimalSeparator()));
        for (const QChar c : input) {
            const char16_t u = c.unicode();
            if (!(u >= u'0' && u <= u'9') && !(m_fractions && u == separator))
                return Invalid;
        }
        return Acceptable;
    }

  private:
    bool m_fractions;
};

bool takesFractions(int tag) {
    return tag != BarLoopPitch && tag != BarPitchStart && tag != BarPitchEnd;
}

// Script bytes (names and wave values) in a message, which is UTF-8.
std::string scriptToUtf8(std::string_view bytes) {
    return fromScript(bytes).toStdString();
}

// The text a problem of the whole soundscape is reported with.
std::string problemText(const MixProblem& problem) {
    MixProblem p = problem;
    p.soundscape = scriptToUtf8(p.soundscape);
    p.subject = scriptToUtf8(p.subject);
    const QString in =
        p.soundscape.empty() ? QString() : QStringLiteral(" (soundscape %1)").arg(qs(p.soundscape));
    const QString subject = qs(p.subject);
    switch (p.kind) {
    case MixProblemKind::MissingWave:
        return uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "Звук не найден и пропущен: %1%2"), {subject, in});
    case MixProblemKind::UndecodableWave:
        return uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "Звук не читается и пропущен: %1%2"), {subject, in});
    case MixProblemKind::SoundscapeNotFound:
        return uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "Soundscape не найден: %1%2"), {subject, in});
    case MixProblemKind::MissingName:
        return uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "В playsoundscape нет \"name\"%1"), {in});
    case MixProblemKind::Cycle:
        return uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "Ссылки по кругу: %1 (повтор не воспроизводится)"),
                          {subject});
    case MixProblemKind::TooDeep:
        return uiTextUtf8(
            QT_TRANSLATE_NOOP("tonvale", "Слишком глубокая вложенность, не воспроизводится: %1"), {subject});
    case MixProblemKind::TooManySounds:
        return uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "Слишком много звуков, остальные пропущены%1"), {in});
    }
    return p.subject;
}

std::string problemsText(const std::vector<MixProblem>& problems) {
    std::string text;
    for (const MixProblem& p : problems)
        text += (text.empty() ? "" : "\n") + problemText(p);
    return text;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y, bool bold = false, int width = -1) {
    auto* l = new QLabel(text, parent);
    l->setFont(bold ? boldFont() : normalFont());
    if (width < 0)
        width = l->sizeHint().width();
    l->setGeometry(x, y, width, 14);
    return l;
}

// A raised panel across the top of a group holding one button.
QPushButton* buttonPanel(QWidget* parent, int y, int width, const QString& caption, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(2, y, width - 4, 38);
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(normalFont());
    button->setGeometry(6, 6, width - 16, 26);
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    return button;
}

// Scale labels beside a vertical bar: texts from the top to the bottom at the given fractions.
void scale(QWidget* parent, int x, int top, int height,
           std::initializer_list<std::pair<const char*, double>> marks) {
    for (const auto& [text, fraction] : marks) {
        auto* l = new QLabel(QString::fromLatin1(text), parent);
        l->setFont(normalFont());
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(x, top + static_cast<int>(fraction * (height - 20)) + 3, 24, 14);
    }
}

} // namespace

PlayerPanel::PlayerPanel(SectionTree& tree, Node* soundscape, const SoundscapeValueNodes& valueNodes,
                         AudioEngine& audio, AudioHost& host, QWidget* parent, RandomSource* random)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_tree(tree), m_soundscape(soundscape), m_valueNodes(valueNodes), m_audio(audio), m_host(host),
      m_ownRandom(random ? nullptr : std::make_unique<ClockSeededRandom>()),
      m_schedule(random ? *random : *m_ownRandom), m_wholePlayer(std::make_unique<SoundscapePlayer>(audio)) {
    buildPanel();
}

PlayerPanel::~PlayerPanel() = default;

void PlayerPanel::setSoundscapeSources(std::string soundDir, SoundscapeLookup lookup) {
    m_soundDir = std::move(soundDir);
    m_lookup = std::move(lookup);
}

void PlayerPanel::buildPanel() {
    setObjectName(QStringLiteral("PlayerPanel"));
    setFont(normalFont());
    setFixedSize(ClientWidth, ClientHeight);
    m_editMenu = new QMenu(this);
    m_editMenu->setObjectName(QStringLiteral("treeMenu"));
    QAction* enter1 = m_editMenu->addAction(tr("Установить значение (Enter)"));
    enter1->setObjectName(QStringLiteral("applyEdit"));
    connect(enter1, &QAction::triggered, this, &PlayerPanel::applyCurrentEdit);

    buildLoopGroup();
    buildRandGroup();
    buildMainGroup();
    m_status = new PlayerStatusBar(this);
    m_status->setGeometry(0, GroupHeight, ClientWidth, ClientHeight - GroupHeight);

    m_loopIndicatorTimer.setInterval(500);
    m_randomIndicatorTimer.setInterval(500);
    connect(&m_loopIndicatorTimer, &QTimer::timeout, this, &PlayerPanel::animateLoopIndicator);
    connect(&m_randomIndicatorTimer, &QTimer::timeout, this, &PlayerPanel::animateRandomIndicator);
    // The delays are shown to the user to the tenth of a second: the default coarse timer may fire
    // 5 % early (or round to whole seconds), so the random timer is precise.
    m_randomTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_randomTimer, &QTimer::timeout, this, &PlayerPanel::playNextRandomWave);
    m_wholeTimer.setTimerType(Qt::PreciseTimer);
    m_wholeTimer.setInterval(25);
    connect(&m_wholeTimer, &QTimer::timeout, this, &PlayerPanel::updateWhole);
    // Every bar's change runs the one handler, selected by the bar's tag.
    for (TrackBar* b : m_bars)
        connect(b, &QSlider::valueChanged, this, [this, b] { onBarMoved(b); });
    relayout();
}

TrackBar* PlayerPanel::makeBar(QWidget* parent, int tag, const char* name, QRect geometry) {
    const BarSpec& shape = barSpec(tag);
    auto* b = new TrackBar(Qt::Vertical, tag, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setRange(shape.min, shape.max);
    b->setValue(shape.initial);
    b->setPageStep(shape.pageSize);
    b->setTickInterval(shape.tickSpacing);
    b->setGeometry(geometry);
    m_bars[static_cast<std::size_t>(tag - 1)] = b;
    return b;
}

QLineEdit* PlayerPanel::makeEdit(QWidget* parent, int tag, const char* name, QRect geometry) {
    const BarSpec& shape = barSpec(tag);
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(normalFont());
    e->setMaxLength(shape.editMaxLength);
    e->setText(QString::fromStdString(pointToSeparator(shape.editInitial, localeDecimalSeparator())));
    e->setToolTip(tr("<Enter> - установить значение"));
    e->setGeometry(geometry);
    e->setContextMenuPolicy(Qt::CustomContextMenu);
    e->setAcceptDrops(false);
    e->setDragEnabled(false);
    e->setValidator(new NumberValidator(takesFractions(tag), e));
    connect(e, &QWidget::customContextMenuRequested, this,
            [this, e](const QPoint& pos) { m_editMenu->popup(e->mapToGlobal(pos)); });
    e->installEventFilter(this);
    m_edits[static_cast<std::size_t>(tag - 1)] = e;
    return e;
}

void PlayerPanel::buildLoopGroup() {
    m_loopGroup = new QGroupBox(this);
    m_loopGroup->setObjectName(QStringLiteral("loopGroup"));
    m_loopGroup->setGeometry(0, 0, LoopWidth, GroupHeight);
    m_playLoopButton =
        buttonPanel(m_loopGroup, 2, LoopWidth, QStringLiteral("Play Looping"), "playLoopButton");
    m_playLoopButton->setStyleSheet(QStringLiteral("color: blue;"));
    connect(m_playLoopButton, &QPushButton::clicked, this, &PlayerPanel::toggleLoop);
    label(m_loopGroup, QStringLiteral("Volume"), 8, 46, true);
    label(m_loopGroup, QStringLiteral("Pitch"), 70, 46, true);
    makeBar(m_loopGroup, BarLoopVolume, "loopVolumeBar", QRect(26, 64, 28, 360));
    scale(m_loopGroup, 0, 64, 360, {{"1.0", 0.0}, {"0", 1.0}});
    makeBar(m_loopGroup, BarLoopPitch, "loopPitchBar", QRect(84, 64, 28, 360));
    scale(m_loopGroup, 58, 64, 360, {{"250", 0.0}, {"100", 150.0 / 241.0}, {"9", 1.0}});
    makeEdit(m_loopGroup, BarLoopVolume, "loopVolumeEdit", QRect(6, 434, 50, 21));
    makeEdit(m_loopGroup, BarLoopPitch, "loopPitchEdit", QRect(62, 434, 50, 21));
}

void PlayerPanel::buildRandGroup() {
    m_randomGroup = new QGroupBox(this);
    m_randomGroup->setObjectName(QStringLiteral("randomGroup"));
    m_randomGroup->setGeometry(LoopWidth, 0, RandWidth, GroupHeight);
    m_playRandomButton =
        buttonPanel(m_randomGroup, 2, RandWidth, QStringLiteral("Play Random"), "playRandomButton");
    m_playRandomButton->setStyleSheet(QStringLiteral("color: blue;"));
    connect(m_playRandomButton, &QPushButton::clicked, this, &PlayerPanel::toggleRandom);

    struct Column {
        const char* name;
        const char* title;
        int startTag;
        const char* startBar;
        const char* endBar;
        const char* startEdit;
        const char* endEdit;
    };
    const Column columns[] = {
        {"timeGroup", "Time", BarTimeStart, "timeStartBar", "timeEndBar", "timeStartEdit", "timeEndEdit"},
        {"volumeGroup", "Volume", BarVolumeStart, "volumeStartBar", "volumeEndBar", "volumeStartEdit",
         "volumeEndEdit"},
        {"pitchGroup", "Pitch", BarPitchStart, "pitchStartBar", "pitchEndBar", "pitchStartEdit",
         "pitchEndEdit"},
    };
    const int width = (RandWidth - 12) / 3;
    for (int i = 0; i < 3; ++i) {
        const Column& c = columns[i];
        auto* box = new QGroupBox(QString::fromLatin1(c.title), m_randomGroup);
        box->setObjectName(QString::fromLatin1(c.name));
        box->setFont(boldFont());
        box->setGeometry(4 + i * (width + 2), 44, width, GroupHeight - 48);
        label(box, QStringLiteral("Start pos"), 20, 20);
        label(box, QStringLiteral("End pos"), 74, 20);
        makeBar(box, c.startTag, c.startBar, QRect(30, 38, 28, 350));
        makeBar(box, c.startTag + 1, c.endBar, QRect(80, 38, 28, 350));
        if (c.startTag == BarTimeStart)
            scale(box, 4, 38, 350,
                  {{"300", 0.0}, {"240", 0.2}, {"180", 0.4}, {"120", 0.6}, {"60", 0.8}, {"0.1", 1.0}});
        else if (c.startTag == BarVolumeStart)
            scale(box, 4, 38, 350, {{"1.0", 0.0}, {"0", 1.0}});
        else
            scale(box, 4, 38, 350, {{"250", 0.0}, {"100", 0.75}, {"50", 1.0}});
        makeEdit(box, c.startTag, c.startEdit, QRect(4, 396, width / 2 - 5, 21));
        makeEdit(box, c.startTag + 1, c.endEdit, QRect(width / 2 + 1, 396, width / 2 - 5, 21));
    }
}

void PlayerPanel::buildMainGroup() {
    m_mainGroup = new QGroupBox(this);
    m_mainGroup->setObjectName(QStringLiteral("mainGroup"));
    m_mainGroup->setFont(boldFont());
    m_mainGroup->setGeometry(ClientWidth - MainWidth, 0, MainWidth, GroupHeight);
    m_playAllButton = buttonPanel(m_mainGroup, 2, MainWidth, QStringLiteral("Play All"), "playAllButton");
    connect(m_playAllButton, &QPushButton::clicked, this, &PlayerPanel::toggleAll);
    m_playWholeButton =
        buttonPanel(m_mainGroup, 40, MainWidth, QStringLiteral("Play Soundscape"), "playWholeButton");
    m_playWholeButton->setStyleSheet(QStringLiteral("color: darkgreen;"));
    m_playWholeButton->setToolTip(
        tr("Весь soundscape: все playlooping, все playrandom и вложенные playsoundscape"));
    connect(m_playWholeButton, &QPushButton::clicked, this, &PlayerPanel::toggleWhole);
    label(m_mainGroup, QStringLiteral("Main Volume"), 8, 84, true);
    makeBar(m_mainGroup, BarMasterVolume, "masterVolumeBar", QRect(58, 100, 28, 120));
    scale(m_mainGroup, 30, 100, 120, {{"1.0", 0.0}, {"0", 1.0}});
    makeEdit(m_mainGroup, BarMasterVolume, "masterVolumeEdit", QRect(42, 224, 58, 21));

    auto* display = new QGroupBox(QStringLiteral("PlayRandom Display"), m_mainGroup);
    display->setObjectName(QStringLiteral("display"));
    display->setFont(boldFont());
    display->setGeometry(2, 250, MainWidth - 4, 132);
    const char* captions[] = {"Time (sec): ", "Volume: ", "Pitch:", "Length wave (sec):"};
    const char* names[] = {"L_Time", "L_Vol", "L_Pit", "L_Len"};
    QLabel** values[] = {&m_timeLabel, &m_volumeLabel, &m_pitchLabel, &m_lengthLabel};
    // Values keep the room of four characters at the right; a caption gives way if it must.
    const int valueLeft = display->width() - 31;
    for (int i = 0; i < 4; ++i) {
        QLabel* caption = label(display, QString::fromLatin1(captions[i]), 3, 22 + i * 26);
        caption->resize(std::min(caption->width(), valueLeft - 4), caption->height());
        *values[i] = label(display, QStringLiteral("0"), valueLeft, 22 + i * 26, false, 29);
        (*values[i])->setObjectName(QString::fromLatin1(names[i]));
    }
    m_saveWaveButton = buttonPanel(m_mainGroup, GroupHeight - 102, MainWidth,
                                   tr("Сохранить звучание\nв WAV..."), "saveWaveButton");
    m_saveWaveButton->parentWidget()->setFixedHeight(54);
    m_saveWaveButton->setFixedHeight(42);
    m_saveWaveButton->setToolTip(tr("Сохранить звучание в WAV..."));
    connect(m_saveWaveButton, &QPushButton::clicked, this, &PlayerPanel::saveSoundscapeWave);
    m_applyButton = buttonPanel(m_mainGroup, GroupHeight - 44, MainWidth, tr("Применить"), "applyButton");
    connect(m_applyButton, &QPushButton::clicked, this, &PlayerPanel::applyToDocument);
}

// Places the visible groups side by side and sizes the window to them.
void PlayerPanel::relayout() {
    int x = 0;
    if (!m_loopGroup->isHidden()) {
        m_loopGroup->move(x, 0);
        x += LoopWidth;
    }
    if (!m_randomGroup->isHidden()) {
        m_randomGroup->move(x, 0);
        x += RandWidth;
    }
    m_mainGroup->move(x, 0);
    x += MainWidth;
    setFixedSize(x, ClientHeight);
    m_status->setGeometry(0, GroupHeight, x, ClientHeight - GroupHeight);
}

void PlayerPanel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        onShown();
    }
}

bool PlayerPanel::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        onActivated();
    return QDialog::event(e);
}

void PlayerPanel::onShown() {
    m_loopVisible = fileExists(m_audio.loopingSound.path);
    m_randVisible = !m_audio.randomWaves.channels.empty();
    m_loopGroup->setVisible(m_loopVisible);
    m_randomGroup->setVisible(m_randVisible);

    setBar(BarMasterVolume, m_host.masterVolumeSetting());

    if (m_loopVisible) {
        if (!m_audio.openLoop()) {
            m_host.showMessage({QT_TRANSLATE_NOOP("tonvale", "Ошибка! Файл не загружен"), "Play Looping",
                                MessageIcon::Error});
            // The loop group goes; the showing goes on as for a soundscape without a loop, so the
            // random group still starts with its lists built.
            m_loopVisible = false;
            m_loopGroup->setVisible(false);
        } else {
            m_loopMarkLeft = 2;
            m_loopMarkRight = 19;
            m_audio.setVolume(m_audio.loopingSound.channel, m_audio.loopingSound.volume);
            setBar(BarLoopVolume, volumeToPosition(m_audio.loopingSound.volume));
            setBar(BarLoopPitch, loopPitchToPosition(m_audio.loopingSound.pitch));
            giveSelection(bar(BarLoopPitch));
        }
    }
    if (!m_loopVisible) {
        m_status->setPanelWidth(0, 0);
        m_status->setPanelWidth(1, 0);
    }
    if (m_randVisible) {
        const RandomRanges& r = m_audio.randomRanges;
        setBar(BarTimeStart, r.timeStart);
        setBar(BarTimeEnd, r.timeEnd);
        setBar(BarVolumeStart, volumeToPosition(r.volumeStart));
        setBar(BarVolumeEnd, volumeToPosition(r.volumeEnd));
        setBar(BarPitchStart, randomPitchToPosition(r.pitchStart));
        setBar(BarPitchEnd, randomPitchToPosition(r.pitchEnd));
        m_randMarkLeft = m_loopVisible ? 202 : 2;
        m_randMarkRight = m_loopVisible ? 219 : 19;
        buildTimeList();
        buildVolumeList();
        buildPitchList();
        edit(BarPitchStart)->setText(QString::number(250 - bar(BarPitchStart)->value()));
        edit(BarPitchEnd)->setText(QString::number(250 - bar(BarPitchEnd)->value()));
    } else {
        m_status->setPanelWidth(2, 0);
        if (m_loopVisible)
            m_status->setPanelWidth(1, m_status->panelWidth(1) + RandWidth);
    }
    m_playAllButton->setEnabled(m_loopVisible && m_randVisible);
    rememberShownValues();
    relayout();
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
}

void PlayerPanel::onActivated() {
    m_applyButton->setEnabled(false);
}

// Setting a bar clamps the position first and runs its handler only when the position changes.
void PlayerPanel::setBar(int tag, int position) {
    bar(tag)->setValue(clampPosition(tag, position));
}

void PlayerPanel::giveSelection(TrackBar* b) {
    b->setSelection(b->value(), b->maximum());
}

void PlayerPanel::onBarMoved(TrackBar* changed) {
    const int tag = changed->tag();
    const int position = changed->value();
    const QString shown = QString::fromStdString(barValueText(tag, position));
    switch (tag) {
    case BarLoopVolume: {
        edit(tag)->setText(shown);
        giveSelection(changed);
        const double volume = readNumber(toBytes(edit(tag)->text())).value_or(0.1);
        m_audio.setVolume(m_audio.loopingSound.channel, static_cast<float>(volume));
        break;
    }
    case BarLoopPitch: {
        const int pitch = 260 - position;
        edit(tag)->setText(shown);
        m_audio.loopingSound.pitch = pitch;
        giveSelection(changed);
        if (!m_audio.setPitch(m_audio.loopingSound.channel, m_audio.loopingSound.sampleRate, pitch)) {
            changed->setValue(160);
            m_audio.loopingSound.pitch = 100;
            m_audio.setPitch(m_audio.loopingSound.channel, m_audio.loopingSound.sampleRate, 100);
        }
        break;
    }
    case BarTimeStart:
    case BarTimeEnd:
    case BarVolumeStart:
    case BarVolumeEnd:
    case BarPitchStart:
    case BarPitchEnd: {
        edit(tag)->setText(shown);
        TrackBar* partner = bar(partnerBar(tag));
        if (isStartBar(tag))
            partner->setValue(endAfterStartMoved(position, partner->value()));
        else
            partner->setValue(startAfterEndMoved(partner->value(), position));
        giveSelection(changed);
        if (tag <= BarTimeEnd)
            buildTimeList();
        else if (tag <= BarVolumeEnd)
            buildVolumeList();
        else
            buildPitchList();
        break;
    }
    case BarMasterVolume:
        edit(tag)->setText(shown);
        giveSelection(changed);
        m_host.setMasterVolumeSetting(position);
        m_audio.setMasterVolume(percentToVolume(100 - position));
        return; // the master volume is no document value: Apply stays as it is
    default:
        return;
    }
    m_applyButton->setEnabled(true);
}

void PlayerPanel::buildTimeList() {
    m_schedule.buildTimeList(bar(BarTimeStart)->value(), bar(BarTimeEnd)->value());
}
void PlayerPanel::buildVolumeList() {
    m_schedule.buildVolumeList(bar(BarVolumeStart)->value(), bar(BarVolumeEnd)->value());
}
void PlayerPanel::buildPitchList() {
    m_schedule.buildPitchList(bar(BarPitchStart)->value(), bar(BarPitchEnd)->value());
}

int PlayerPanel::tagOf(const QLineEdit* e) const {
    for (int tag = 1; tag <= 9; ++tag)
        if (edit(tag) == e)
            return tag;
    return 0;
}

QString PlayerPanel::editText(int tag) const {
    return edit(tag)->text();
}

bool PlayerPanel::editChanged(int tag) const {
    return edit(tag)->text() != m_shownTexts[static_cast<std::size_t>(tag - 1)];
}

void PlayerPanel::rememberShownValues() {
    for (int tag = 1; tag <= 9; ++tag)
        m_shownTexts[static_cast<std::size_t>(tag - 1)] = edit(tag)->text();
}

// The panel closes by its title-bar button only: Escape would drop what was not applied.
void PlayerPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PlayerPanel::reject() {
    if (!m_rendering)
        QDialog::reject();
}

void PlayerPanel::closeEvent(QCloseEvent* event) {
    if (m_rendering) {
        event->ignore();
        return;
    }
    stopWhole();
    QDialog::closeEvent(event);
}

bool PlayerPanel::eventFilter(QObject* watched, QEvent* e) {
    auto* lineEdit = qobject_cast<QLineEdit*>(watched);
    const int tag = lineEdit ? tagOf(lineEdit) : 0;
    if (tag == 0)
        return QDialog::eventFilter(watched, e);
    if (e->type() == QEvent::FocusIn) {
        m_currentEdit = lineEdit;
    } else if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove || e->type() == QEvent::Drop) {
        return true; // nothing is dropped into a number box
    } else if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease ||
               e->type() == QEvent::MouseButtonDblClick) {
        // The middle button pastes the selection on X11: nothing is pasted into a number box.
        return static_cast<QMouseEvent*>(e)->button() == Qt::MiddleButton;
    } else if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            applyEdit(lineEdit);
            return true;
        }
        // Digits, backspace and (for numbers with fractions) the locale's decimal separator. Every other
        // character, clipboard shortcuts included, is dropped; keys without a character (arrows, Delete,
        // Home, End) move the cursor as usual.
        if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
            return true;
        if (key->key() == Qt::Key_Backspace)
            return false;
        const QString text = key->text();
        if (text.isEmpty())
            return false;
        const bool fractions = takesFractions(tag);
        const QChar c = text.at(0);
        const bool allowed =
            text.size() == 1 &&
            (c.isDigit() && c.unicode() < 0x80
                 ? true
                 : fractions && c.unicode() == static_cast<unsigned char>(localeDecimalSeparator()));
        if (!allowed || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return true;
    }
    return QDialog::eventFilter(watched, e);
}

void PlayerPanel::applyEdit(QLineEdit* e) {
    const int tag = tagOf(e);
    if (tag == 0)
        return;
    setBar(tag, pressEditPosition(tag, toBytes(e->text())));
}

void PlayerPanel::applyCurrentEdit() {
    if (m_currentEdit)
        applyEdit(m_currentEdit);
}

void PlayerPanel::updatePlayAll() {
    if (m_loopTag == 1 && m_randTag == 1) {
        m_allTag = 1;
        m_playAllButton->setText(QStringLiteral("Stop All"));
    } else if (m_loopTag == 0 && m_randTag == 0) {
        m_allTag = 0;
        m_playAllButton->setText(QStringLiteral("Play All"));
    }
}

void PlayerPanel::toggleLoop() {
    const AudioChannel ch = m_audio.loopingSound.channel;
    if (m_loopTag == 0) {
        stopWhole();
        const int pitch = 260 - bar(BarLoopPitch)->value();
        if (!m_audio.setPitch(ch, m_audio.loopingSound.sampleRate, pitch)) {
            bar(BarLoopPitch)->setValue(160);
            m_audio.setPitch(ch, m_audio.loopingSound.sampleRate, 100);
        }
        const double volume = readNumber(toBytes(edit(BarLoopVolume)->text())).value_or(0.1);
        if (!m_audio.fadeInVolume(ch, static_cast<float>(volume)))
            return;
        if (!m_audio.playChannel(ch)) {
            m_host.showMessage(
                {QT_TRANSLATE_NOOP("tonvale", "Ошибка воспроизведения"), "Play Loop", MessageIcon::Error});
        } else {
            m_loopTag = 1;
            m_playLoopButton->setText(QStringLiteral("Stop Looping"));
            m_loopIndicatorTimer.start();
            m_status->setPanelText(1, QStringLiteral(" Looping: ") +
                                          QString::fromStdString(fileNamePart(m_audio.loopingSound.path)));
        }
    } else {
        m_audio.stopChannel(ch);
        m_loopTag = 0;
        m_playLoopButton->setText(QStringLiteral("Play Looping"));
        m_loopIndicatorTimer.stop();
        m_status->clearIndicator(m_loopMarkLeft, m_loopMarkRight);
        m_loopFrame = 4;
        m_status->setPanelText(1, QString());
    }
    if (m_randVisible)
        updatePlayAll();
}

void PlayerPanel::toggleRandom() {
    if (m_randTag == 0) {
        stopWhole();
        m_randTag = 1;
        m_playRandomButton->setText(QStringLiteral("Stop Random"));
        // With empty lists the first randomTimer event comes at once and stops the random part again.
        m_randomTimer.setInterval(static_cast<int>(m_schedule.start().value_or(0)));
        m_randomIndicatorTimer.start();
        m_randomTimer.start();
    } else {
        for (AudioChannel ch : m_audio.randomWaves.channels)
            m_audio.stopChannel(ch);
        m_randTag = 0;
        m_playRandomButton->setText(QStringLiteral("Play Random"));
        m_randomIndicatorTimer.stop();
        m_status->clearIndicator(m_randMarkLeft, m_randMarkRight);
        m_randFrame = 4;
        m_randomTimer.stop();
        m_status->setPanelText(3, QString());
        for (QLabel* l : {m_timeLabel, m_volumeLabel, m_lengthLabel, m_pitchLabel})
            l->setText(QStringLiteral("0"));
    }
    if (m_loopVisible)
        updatePlayAll();
}

void PlayerPanel::toggleAll() {
    if (m_allTag == 0) {
        if (m_loopVisible && m_loopTag == 0)
            toggleLoop();
        if (m_randVisible && m_randTag == 0)
            toggleRandom();
        m_allTag = 1;
        m_playAllButton->setText(QStringLiteral("Stop All"));
    } else {
        if (m_loopTag == 1)
            toggleLoop();
        if (m_randTag == 1)
            toggleRandom();
        m_allTag = 0;
        m_playAllButton->setText(QStringLiteral("Play All"));
    }
}

void PlayerPanel::playNextRandomWave() {
    const auto& channels = m_audio.randomWaves.channels;
    const auto draw = m_schedule.next(static_cast<int>(channels.size()));
    if (!draw) {
        if (m_randTag == 1)
            toggleRandom();
        return;
    }
    m_randomTimer.setInterval(static_cast<int>(draw->delayMs));
    const auto index = static_cast<std::size_t>(draw->wave);
    const AudioChannel ch = channels[index];
    // Each wave is pitched from its own sample rate.
    const std::uint32_t rate =
        index < m_audio.randomWaves.sampleRates.size() ? m_audio.randomWaves.sampleRates[index] : 0;
    m_audio.setVolume(ch, static_cast<float>(draw->volume));
    int pitch = draw->pitch;
    if (!m_audio.setPitch(ch, rate, pitch)) {
        setBar(BarPitchStart, randomPitchToPosition(100));
        setBar(BarPitchEnd, randomPitchToPosition(100));
        pitch = 100;
        m_audio.setPitch(ch, rate, 100);
    }
    if (!m_audio.playChannel(ch)) {
        if (m_randTag == 1)
            toggleRandom();
        return;
    }
    m_status->drawIndicator(m_randMarkLeft, m_randFrame);
    RandomDraw shown = *draw;
    shown.pitch = pitch;
    const std::string name =
        index < m_audio.randomWaves.names.size() ? m_audio.randomWaves.names[index] : std::string();
    m_status->setPanelText(3, coreText(RandomSchedule::playingText(name, shown)));
    m_timeLabel->setText(QString::fromStdString(formatGeneral(draw->delayMs / 1000.0, 4)));
    m_volumeLabel->setText(QString::fromStdString(formatGeneral(draw->volume, 3)));
    m_lengthLabel->setText(QString::fromStdString(formatGeneral(m_audio.lengthSeconds(ch), 2)));
    m_pitchLabel->setText(QString::number(pitch));
}

void PlayerPanel::animateLoopIndicator() {
    if (!m_audio.isPlaying(m_audio.loopingSound.channel))
        return;
    if (m_loopFrame == 4) {
        m_loopFrame = 0;
        m_status->clearIndicator(m_loopMarkLeft, m_loopMarkRight);
    } else {
        ++m_loopFrame;
    }
    m_status->drawIndicator(m_loopMarkLeft, m_loopFrame);
}

void PlayerPanel::animateRandomIndicator() {
    if (m_randFrame == 4) {
        m_randFrame = 0;
        m_status->clearIndicator(m_randMarkLeft, m_randMarkRight);
    } else {
        ++m_randFrame;
    }
    const auto& channels = m_audio.randomWaves.channels;
    const auto wave = static_cast<std::size_t>(m_schedule.currentWave());
    if (wave < channels.size() && m_audio.isPlaying(channels[wave])) {
        m_status->drawIndicator(m_randMarkLeft, m_randFrame);
    } else {
        m_status->setPanelText(3, coreText(m_schedule.waitingText()));
        m_status->clearIndicator(m_randMarkLeft, m_randMarkRight);
        m_randFrame = 0;
    }
}

// Every value goes back to the parameter it was read from; a value the user did not change is not
// written; a value the soundscape has no parameter for yet is added at the top of the block the
// panel took the others from (where the next reading finds it).
void PlayerPanel::applyToDocument() {
    if (m_tree.empty() || !m_soundscape || m_soundscape->level() != 0)
        return;
    struct Change {
        const Node** node; // where the value was read, updated when the parameter is added
        const Node* block;
        const char* key;
        std::string value;
    };
    std::vector<Change> changes;
    auto number = [this](int tag) -> std::optional<std::string> {
        const std::string text = toBytes(editText(tag));
        if (!readNumber(text))
            return std::nullopt; // an empty box, or a separator alone: nothing to write
        return commaToPoint(text);
    };
    auto single = [&](int tag, const Node*& node, const Node* block, const char* key) {
        if (!editChanged(tag))
            return;
        if (const std::optional<std::string> v = number(tag))
            changes.push_back({&node, block, key, "\"" + *v + "\""});
    };
    auto range = [&](int startTag, const Node*& node, const Node* block, const char* key) {
        if (!editChanged(startTag) && !editChanged(startTag + 1))
            return;
        const std::optional<std::string> low = number(startTag);
        const std::optional<std::string> high = number(startTag + 1);
        if (low && high)
            changes.push_back({&node, block, key, "\"" + *low + "," + *high + "\""});
    };
    SoundscapeValueNodes& at = m_valueNodes;
    // Values of a group that is not shown were never loaded into its edit boxes.
    if (m_loopVisible) {
        single(BarLoopVolume, at.loopVolume, at.loopBlock, "volume");
        single(BarLoopPitch, at.loopPitch, at.loopBlock, "pitch");
    }
    if (m_randVisible) {
        range(BarTimeStart, at.randomTime, at.randomBlock, "time");
        range(BarVolumeStart, at.randomVolume, at.randomBlock, "volume");
        range(BarPitchStart, at.randomPitch, at.randomBlock, "pitch");
    }
    m_applyButton->setEnabled(false);
    bool wrote = false;
    if (!changes.empty()) {
        m_host.editDocument([&](TreeObserver* observer) {
            for (Change& c : changes) {
                // The nodes are the panel's document's own: the analysis only looked at them.
                if (*c.node) {
                    wrote = setNodeValue(m_tree, const_cast<Node*>(*c.node), c.value, observer) || wrote;
                } else if (c.block) {
                    NewElementAnswers answers;
                    answers.mode = NewElementMode::Parameter;
                    answers.parameterName = c.key;
                    answers.value = c.value;
                    const CreateResult created = addNewElement(m_tree, const_cast<Node*>(c.block), answers,
                                                               PlacementAnswer::Yes, observer);
                    if (created.node) {
                        *c.node = created.node;
                        wrote = true;
                    }
                }
            }
        });
    }
    rememberShownValues();
    if (!wrote)
        return;
    m_applied = true;
    m_host.documentChanged();
}

bool PlayerPanel::wholePlaying() const {
    return m_wholePlayer->playing();
}

SoundscapeMix PlayerPanel::gatherWhole() const {
    return gatherSoundscape(m_tree, m_soundscape, m_soundDir, m_lookup);
}

std::uint32_t PlayerPanel::drawSeed() const {
    return m_seed ? *m_seed : SeededRandom::freshSeed();
}

void PlayerPanel::reportProblems(const std::vector<MixProblem>& problems, const char* caption) {
    if (!problems.empty())
        m_host.showMessage({problemsText(problems), caption, MessageIcon::Warning});
}

// The whole soundscape plays alone: it stops the loop and the random part, and they stop it.
void PlayerPanel::toggleWhole() {
    if (wholePlaying()) {
        stopWhole();
        return;
    }
    if (m_loopTag == 1)
        toggleLoop();
    if (m_randTag == 1)
        toggleRandom();
    m_wholePlayer->setMix(gatherWhole());
    const bool started = m_wholePlayer->start(drawSeed());
    // Missing waves, cycles and soundscapes not found are told once per start; the rest plays.
    reportProblems(m_wholePlayer->problems(), "Play Soundscape");
    if (!started) {
        m_host.showMessage(
            {m_audio.initialised()
                 ? QT_TRANSLATE_NOOP("tonvale", "В soundscape нет звуков, которые можно воспроизвести")
                 : QT_TRANSLATE_NOOP("tonvale", "Ошибка воспроизведения"),
             "Play Soundscape", MessageIcon::Warning});
        return;
    }
    m_playWholeButton->setText(QStringLiteral("Stop Soundscape"));
    // The loops of a whole soundscape are many: their panel takes half the bar while it plays.
    m_loopPanelWidth = m_status->panelWidth(1);
    if (m_loopPanelWidth > 0)
        m_status->setPanelWidth(1, std::max(m_loopPanelWidth, (width() - 2 * 21) / 2));
    m_wholeTimer.start();
    updateWhole();
}

void PlayerPanel::stopWhole() {
    m_wholeTimer.stop();
    if (!wholePlaying())
        return;
    m_wholePlayer->stop();
    m_playWholeButton->setText(QStringLiteral("Play Soundscape"));
    m_status->setPanelWidth(1, m_loopPanelWidth);
    m_status->setPanelText(1, QString());
    m_status->setPanelText(3, QString());
    m_status->setToolTip(QString());
}

// Starts the random waves that are due and shows what plays: the loops in the loop panel, the
// random waves sounding (or the wait for the next one) in the random panel, both in the random panel
// when the loop group is not shown. Sounds of the soundscapes played by reference name theirs.
void PlayerPanel::updateWhole() {
    if (!wholePlaying())
        return;
    m_wholePlayer->tick();
    const std::string& top = m_wholePlayer->mix().name;
    QString loops;
    QString randoms;
    for (const PlayingSound& sound : m_wholePlayer->nowPlaying()) {
        QString item = fromScript(sound.file);
        if (!sound.soundscape.empty() && sound.soundscape != top)
            item += QStringLiteral(" (") + fromScript(sound.soundscape) + QStringLiteral(")");
        if (sound.looping) {
            loops += (loops.isEmpty() ? QString() : QStringLiteral(", ")) + item;
        } else {
            randoms += (randoms.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("[") + item +
                       QStringLiteral("] Volume = ") +
                       QString::fromStdString(formatGeneral(sound.volume, 3)) + QStringLiteral(". Pitch = ") +
                       QString::number(sound.pitch);
        }
    }
    if (!loops.isEmpty())
        loops = QStringLiteral(" Looping: ") + loops;
    if (randoms.isEmpty()) {
        if (const std::optional<std::uint64_t> wait = m_wholePlayer->msUntilNextStart())
            randoms = tr(" Random: ожидание... через %1 сек.").arg((*wait + 999) / 1000);
    } else {
        randoms = QStringLiteral(" Random: ") + randoms;
    }
    QString loopText = loops;
    QString randomText = randoms;
    if (m_status->panelWidth(1) == 0) {
        randomText = loopText +
                     (loopText.isEmpty() || randomText.isEmpty() ? QString() : QStringLiteral(";")) +
                     randomText;
        loopText.clear();
    }
    if (m_status->panelText(1) != loopText)
        m_status->setPanelText(1, loopText);
    if (m_status->panelText(3) != randomText) {
        m_status->setPanelText(3, randomText);
        m_status->setToolTip(fromScript(m_wholePlayer->statusText()));
    }
}

// Renders the whole soundscape offline into a WAV file on a thread of its own, while the window
// goes on; a progress dialog with Cancel shows when the render takes longer than a second. A
// cancelled or failed render leaves no file behind.
void PlayerPanel::saveSoundscapeWave() {
    if (m_rendering)
        return;
    static constexpr const char* Caption = QT_TRANSLATE_NOOP("tonvale", "Сохранить звучание в WAV");
    QString suggested = fromScript(soundscapeName(m_soundscape));
    for (QChar& c : suggested)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20)
            c = u'_';
    const std::string path = m_host.renderFileName((suggested + QStringLiteral(".wav")).toStdString());
    if (path.empty())
        return;
    const SoundscapeMix mix = gatherWhole();
    if (!mix.hasSounds()) {
        std::string text =
            uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "В soundscape нет звуков, которые можно сохранить"));
        if (!mix.problems.empty())
            text += "\n\n" + problemsText(mix.problems);
        m_host.showMessage({text, Caption, MessageIcon::Warning});
        return;
    }
    RenderSettings settings;
    settings.seconds = m_renderSeconds;
    settings.seed = drawSeed();

    m_rendering = true;
    m_saveWaveButton->setEnabled(false);
    std::atomic<bool> cancel{false};
    std::atomic<int> permille{0};
    RenderResult result;
    QProgressDialog progress(tr("Сохранение звучания в WAV..."), tr("Отмена"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("renderProgress"));
    progress.setWindowTitle(uiText(Caption));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result = renderSoundscape(mix, settings, path, [&](double done) {
            permille = static_cast<int>(done * 1000.0);
            return !cancel;
        });
    }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
        if (progress.wasCanceled())
            cancel = true;
        if (!cancel)
            progress.setValue(permille);
    });
    progress.setValue(0);
    worker->start();
    poll.start();
    loop.exec();
    worker->wait();
    poll.stop();
    progress.hide();
    m_saveWaveButton->setEnabled(true);
    m_rendering = false;

    const std::string problems = problemsText(result.problems);
    switch (result.outcome) {
    case RenderOutcome::Written: {
        std::string text = uiTextUtf8(
            QT_TRANSLATE_NOOP("tonvale", "Звучание сохранено в файл\n%1\n(%2 сек., %3 Гц, seed %4)"),
            {qs(path), qs(formatGeneral(settings.seconds, 6)), QString::number(settings.sampleRate),
             QString::number(settings.seed)});
        if (!problems.empty())
            text += "\n\n" + problems;
        m_host.showMessage(
            {text, Caption, problems.empty() ? MessageIcon::Information : MessageIcon::Warning});
        break;
    }
    case RenderOutcome::Cancelled:
        break;
    case RenderOutcome::WriteFailed:
        m_host.showMessage({uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "Не удалось записать файл\n%1\n%2"),
                                       {qs(path), qs(result.error)}),
                            Caption, MessageIcon::Error});
        break;
    case RenderOutcome::NoAudio:
        m_host.showMessage(
            {uiTextUtf8(QT_TRANSLATE_NOOP("tonvale", "Не удалось подготовить звук: %1"), {qs(result.error)}),
             Caption, MessageIcon::Error});
        break;
    }
}

bool openPlayerPanel(SectionTree& tree, Node* selected, const std::string& soundDir, AudioEngine& audio,
                     AudioHost& host, bool modified, QWidget* parent, QWidget* volumeWindow,
                     const std::string& projectFolder) {
    if (tree.empty() || !selected || selected->level() != 0)
        return modified;
    audio.releaseAll();
    const SoundscapeValueNodes valueNodes = analyseSoundscape(tree, selected, soundDir, audio);
    ProjectSoundscapes others(projectFolder, soundDir);
    SoundscapeLookup lookup = [&others](std::string_view name) { return others.find(name); };
    if (!fileExists(audio.loopingSound.path) && audio.randomWaves.channels.empty() &&
        !gatherSoundscape(tree, selected, soundDir, lookup).hasSounds()) {
        host.showMessage(
            {QT_TRANSLATE_NOOP("tonvale",
                               "В выбранном soundscape отсутсвуют звуки или не правильно указан путь к ним"),
             QT_TRANSLATE_NOOP("tonvale", "Воспроизвести soundscape"), MessageIcon::Warning});
        return modified;
    }
    if (volumeWindow)
        volumeWindow->close();
    // Every channel is released after the panel, also when an error escapes it.
    struct ReleaseOnExit {
        AudioEngine& audio;
        ~ReleaseOnExit() { audio.releaseAll(); }
    } release{audio};
    bool applied = false;
    {
        PlayerPanel panel(tree, selected, valueNodes, audio, host, parent);
        panel.setSoundscapeSources(soundDir, lookup);
        panel.setWindowTitle(fromScript(selected->text()));
        panel.exec();
        applied = panel.applied();
    }
    // The flag stays set when the document had unsaved changes before the panel opened.
    return modified || applied;
}

} // namespace tonvale
