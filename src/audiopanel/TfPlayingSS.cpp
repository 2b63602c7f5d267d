#include "audiopanel/TfPlayingSS.h"

#include "audio/DecimalSeparator.h"
#include "audio/PlayingWav.h"
#include "audio/RangeBars.h"
#include "audio/SoundscapeAnalysis.h"
#include "audio/Values.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerStatusBar.h"
#include "audiopanel/PlayerTexts.h"
#include "audiopanel/TrackBar.h"
#include "document/Edits.h"
#include "document/SectionTree.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

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
    f.setBold(false);  // set explicitly, so that children of the bold group boxes stay normal
    return f;
}

QFont boldFont() {
    QFont f = normalFont();
    f.setBold(true);
    return f;
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
void scale(QWidget* parent, int x, int top, int height, std::initializer_list<std::pair<const char*, double>> marks) {
    for (const auto& [text, fraction] : marks) {
        auto* l = new QLabel(QString::fromLatin1(text), parent);
        l->setFont(normalFont());
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(x, top + static_cast<int>(fraction * (height - 20)) + 3, 24, 14);
    }
}

} // namespace

TfPlayingSS::TfPlayingSS(SectionTree& tree, Node* soundscape, PlayingWav& audio, AudioHost& host, QWidget* parent,
                         RandomSource* random)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_tree(tree),
      m_soundscape(soundscape),
      m_audio(audio),
      m_host(host),
      m_ownRandom(random ? nullptr : std::make_unique<ClockSeededRandom>()),
      m_schedule(random ? *random : *m_ownRandom) {
    FormCreate();
}

TfPlayingSS::~TfPlayingSS() = default;

void TfPlayingSS::FormCreate() {
    setObjectName(QStringLiteral("TfPlayingSS"));
    setFont(normalFont());
    setFixedSize(ClientWidth, ClientHeight);
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* enter1 = m_popupMenu1->addAction(qs("Установить значение (Enter)"));
    enter1->setObjectName(QStringLiteral("Enter1"));
    connect(enter1, &QAction::triggered, this, &TfPlayingSS::Enter1Click);

    buildLoopGroup();
    buildRandGroup();
    buildMainGroup();
    m_status = new PlayerStatusBar(this);
    m_status->setGeometry(0, GroupHeight, ClientWidth, ClientHeight - GroupHeight);

    m_timerPlayLoop.setInterval(500);
    m_timerPlayRand.setInterval(500);
    connect(&m_timerPlayLoop, &QTimer::timeout, this, &TfPlayingSS::TimerPlayLoopTimer);
    connect(&m_timerPlayRand, &QTimer::timeout, this, &TfPlayingSS::TimerPlayRandTimer);
    connect(&m_tpRnd, &QTimer::timeout, this, &TfPlayingSS::TPRndTimer);
    // Every bar's change runs the one handler, selected by the bar's tag.
    for (TrackBar* b : m_bars)
        connect(b, &QSlider::valueChanged, this, [this, b] { TrVolumeLoopChange(b); });
    relayout();
}

TrackBar* TfPlayingSS::makeBar(QWidget* parent, int tag, const char* name, QRect geometry) {
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

QLineEdit* TfPlayingSS::makeEdit(QWidget* parent, int tag, const char* name, QRect geometry) {
    const BarSpec& shape = barSpec(tag);
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(normalFont());
    e->setMaxLength(shape.editMaxLength);
    e->setText(QString::fromStdString(pointToSeparator(shape.editInitial, localeDecimalSeparator())));
    e->setToolTip(qs("<Enter> - установить значение"));
    e->setGeometry(geometry);
    e->setContextMenuPolicy(Qt::CustomContextMenu);
    e->setAcceptDrops(false);
    e->setDragEnabled(false);
    connect(e, &QWidget::customContextMenuRequested, this,
            [this, e](const QPoint& pos) { m_popupMenu1->popup(e->mapToGlobal(pos)); });
    e->installEventFilter(this);
    m_edits[static_cast<std::size_t>(tag - 1)] = e;
    return e;
}

void TfPlayingSS::buildLoopGroup() {
    m_gbLoop = new QGroupBox(this);
    m_gbLoop->setObjectName(QStringLiteral("GB_loop"));
    m_gbLoop->setGeometry(0, 0, LoopWidth, GroupHeight);
    m_btPlayLooping = buttonPanel(m_gbLoop, 2, LoopWidth, QStringLiteral("Play Looping"), "BtPlayLooping");
    m_btPlayLooping->setStyleSheet(QStringLiteral("color: blue;"));
    connect(m_btPlayLooping, &QPushButton::clicked, this, &TfPlayingSS::BtPlayLoopingClick);
    label(m_gbLoop, QStringLiteral("Volume"), 8, 46, true);
    label(m_gbLoop, QStringLiteral("Pitch"), 70, 46, true);
    makeBar(m_gbLoop, BarLoopVolume, "TrVolumeLoop", QRect(26, 64, 28, 360));
    scale(m_gbLoop, 0, 64, 360, {{"1.0", 0.0}, {"0", 1.0}});
    makeBar(m_gbLoop, BarLoopPitch, "TrPitchLoop", QRect(84, 64, 28, 360));
    scale(m_gbLoop, 58, 64, 360, {{"250", 0.0}, {"100", 150.0 / 241.0}, {"9", 1.0}});
    makeEdit(m_gbLoop, BarLoopVolume, "Ed_Vol", QRect(6, 434, 50, 21));
    makeEdit(m_gbLoop, BarLoopPitch, "Ed_Pit", QRect(62, 434, 50, 21));
}

void TfPlayingSS::buildRandGroup() {
    m_gbRand = new QGroupBox(this);
    m_gbRand->setObjectName(QStringLiteral("GB_rand"));
    m_gbRand->setGeometry(LoopWidth, 0, RandWidth, GroupHeight);
    m_btPlayRandom = buttonPanel(m_gbRand, 2, RandWidth, QStringLiteral("Play Random"), "BtPlayRandom");
    m_btPlayRandom->setStyleSheet(QStringLiteral("color: blue;"));
    connect(m_btPlayRandom, &QPushButton::clicked, this, &TfPlayingSS::BtPlayRandomClick);

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
        {"GB_Time", "Time", BarTimeStart, "TrTimeStrat", "TrTimeEnd", "Ed_TmS", "Ed_TmE"},
        {"GB_Vol", "Volume", BarVolStart, "TrVolStart", "TrVolEnd", "Ed_VolRS", "Ed_VolRE"},
        {"GB_Pitch", "Pitch", BarPitchStart, "TrPitStart", "TrPitEnd", "Ed_PitRS", "Ed_PitRE"},
    };
    const int width = (RandWidth - 12) / 3;
    for (int i = 0; i < 3; ++i) {
        const Column& c = columns[i];
        auto* box = new QGroupBox(QString::fromLatin1(c.title), m_gbRand);
        box->setObjectName(QString::fromLatin1(c.name));
        box->setFont(boldFont());
        box->setGeometry(4 + i * (width + 2), 44, width, GroupHeight - 48);
        label(box, QStringLiteral("Start pos"), 20, 20);
        label(box, QStringLiteral("End pos"), 74, 20);
        makeBar(box, c.startTag, c.startBar, QRect(30, 38, 28, 350));
        makeBar(box, c.startTag + 1, c.endBar, QRect(80, 38, 28, 350));
        if (c.startTag == BarTimeStart)
            scale(box, 4, 38, 350, {{"300", 0.0}, {"240", 0.2}, {"180", 0.4}, {"120", 0.6}, {"60", 0.8}, {"0.1", 1.0}});
        else if (c.startTag == BarVolStart)
            scale(box, 4, 38, 350, {{"1.0", 0.0}, {"0", 1.0}});
        else
            scale(box, 4, 38, 350, {{"250", 0.0}, {"100", 0.75}, {"50", 1.0}});
        makeEdit(box, c.startTag, c.startEdit, QRect(4, 396, width / 2 - 5, 21));
        makeEdit(box, c.startTag + 1, c.endEdit, QRect(width / 2 + 1, 396, width / 2 - 5, 21));
    }
}

void TfPlayingSS::buildMainGroup() {
    m_groupBox1 = new QGroupBox(this);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox1->setFont(boldFont());
    m_groupBox1->setGeometry(ClientWidth - MainWidth, 0, MainWidth, GroupHeight);
    m_btPlayAll = buttonPanel(m_groupBox1, 2, MainWidth, QStringLiteral("Play All"), "btPlayAll");
    connect(m_btPlayAll, &QPushButton::clicked, this, &TfPlayingSS::btPlayAllClick);
    label(m_groupBox1, QStringLiteral("Main Volume"), 8, 46, true);
    makeBar(m_groupBox1, BarMasterVolume, "TrBVolumeAll", QRect(58, 64, 28, 180));
    scale(m_groupBox1, 30, 64, 180, {{"1.0", 0.0}, {"0", 1.0}});
    makeEdit(m_groupBox1, BarMasterVolume, "Ed_genVol", QRect(42, 250, 58, 21));

    auto* display = new QGroupBox(QStringLiteral("PlayRandom Display"), m_groupBox1);
    display->setObjectName(QStringLiteral("GroupBox2"));
    display->setFont(boldFont());
    display->setGeometry(2, 290, MainWidth - 4, 150);
    const char* captions[] = {"Time (sec): ", "Volume: ", "Pitch:", "Length wave (sec):"};
    const char* names[] = {"L_Time", "L_Vol", "L_Pit", "L_Len"};
    QLabel** values[] = {&m_lTime, &m_lVol, &m_lPit, &m_lLen};
    // Values keep the room of four characters at the right; a caption gives way if it must.
    const int valueLeft = display->width() - 31;
    for (int i = 0; i < 4; ++i) {
        QLabel* caption = label(display, QString::fromLatin1(captions[i]), 3, 24 + i * 28);
        caption->resize(std::min(caption->width(), valueLeft - 4), caption->height());
        *values[i] = label(display, QStringLiteral("0"), valueLeft, 24 + i * 28, false, 29);
        (*values[i])->setObjectName(QString::fromLatin1(names[i]));
    }
    m_btApply = buttonPanel(m_groupBox1, GroupHeight - 44, MainWidth, qs("Применить"), "btApply");
    connect(m_btApply, &QPushButton::clicked, this, &TfPlayingSS::btApplyClick);
}

// Places the visible groups side by side and sizes the window to them.
void TfPlayingSS::relayout() {
    int x = 0;
    if (!m_gbLoop->isHidden()) {
        m_gbLoop->move(x, 0);
        x += LoopWidth;
    }
    if (!m_gbRand->isHidden()) {
        m_gbRand->move(x, 0);
        x += RandWidth;
    }
    m_groupBox1->move(x, 0);
    x += MainWidth;
    setFixedSize(x, ClientHeight);
    m_status->setGeometry(0, GroupHeight, x, ClientHeight - GroupHeight);
}

void TfPlayingSS::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

bool TfPlayingSS::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(e);
}

void TfPlayingSS::FormShow() {
    m_loopVisible = fileExists(m_audio.LoopSound.FileName);
    m_randVisible = !m_audio.PlayList.Channels.empty();
    m_gbLoop->setVisible(m_loopVisible);
    m_gbRand->setVisible(m_randVisible);

    setBar(BarMasterVolume, m_host.genVol());

    if (m_loopVisible) {
        if (!m_audio.OpenLoopSound()) {
            m_host.showMessage({"Ошибка! Файл не загружен", "Play Looping", MessageIcon::Error});
            // The loop group goes; the showing goes on as for a soundscape without a loop, so the
            // random group still starts with its lists built.
            m_loopVisible = false;
            m_gbLoop->setVisible(false);
        } else {
            m_loopMarkLeft = 2;
            m_loopMarkRight = 19;
            m_audio.SetChannelVolume(m_audio.LoopSound.Channel, m_audio.LoopSound.Volume);
            setBar(BarLoopVolume, VolumeToPos(m_audio.LoopSound.Volume));
            setBar(BarLoopPitch, LoopPitchToPos(m_audio.LoopSound.Pitch));
            giveSelection(bar(BarLoopPitch));
        }
    }
    if (!m_loopVisible) {
        m_status->setPanelWidth(0, 0);
        m_status->setPanelWidth(1, 0);
    }
    if (m_randVisible) {
        const TPlayRandRanges& r = m_audio.RandRanges;
        setBar(BarTimeStart, r.TimeStartPos);
        setBar(BarTimeEnd, r.TimeEndPos);
        setBar(BarVolStart, VolumeToPos(r.VolStart));
        setBar(BarVolEnd, VolumeToPos(r.VolEnd));
        setBar(BarPitchStart, RandPitchToPos(r.PitchStart));
        setBar(BarPitchEnd, RandPitchToPos(r.PitchEnd));
        m_randMarkLeft = m_loopVisible ? 202 : 2;
        m_randMarkRight = m_loopVisible ? 219 : 19;
        BuildTimeList();
        BuildVolList();
        BuildPitchList();
        edit(BarPitchStart)->setText(QString::number(250 - bar(BarPitchStart)->value()));
        edit(BarPitchEnd)->setText(QString::number(250 - bar(BarPitchEnd)->value()));
    } else {
        m_status->setPanelWidth(2, 0);
        m_status->setPanelWidth(1, m_status->panelWidth(1) + RandWidth);
    }
    m_btPlayAll->setEnabled(m_loopVisible && m_randVisible);
    relayout();
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
}

void TfPlayingSS::FormActivate() { m_btApply->setEnabled(false); }

// Setting a bar clamps the position first and runs its handler only when the position changes.
void TfPlayingSS::setBar(int tag, int position) { bar(tag)->setValue(clampPosition(tag, position)); }

void TfPlayingSS::giveSelection(TrackBar* b) { b->setSelection(b->value(), b->maximum()); }

void TfPlayingSS::TrVolumeLoopChange(TrackBar* changed) {
    const int tag = changed->tag();
    const int position = changed->value();
    const QString shown = QString::fromStdString(barValueText(tag, position));
    switch (tag) {
    case BarLoopVolume: {
        edit(tag)->setText(shown);
        giveSelection(changed);
        const double volume = readNumber(toBytes(edit(tag)->text())).value_or(0.1);
        m_audio.SetChannelVolume(m_audio.LoopSound.Channel, static_cast<float>(volume));
        break;
    }
    case BarLoopPitch: {
        const int pitch = 260 - position;
        edit(tag)->setText(shown);
        m_audio.LoopSound.Pitch = pitch;
        giveSelection(changed);
        if (!m_audio.SetChannelPitch(m_audio.LoopSound.Channel, m_audio.LoopSound.Freq, pitch)) {
            changed->setValue(160);
            m_audio.LoopSound.Pitch = 100;
            m_audio.SetChannelPitch(m_audio.LoopSound.Channel, m_audio.LoopSound.Freq, 100);
        }
        break;
    }
    case BarTimeStart:
    case BarTimeEnd:
    case BarVolStart:
    case BarVolEnd:
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
            BuildTimeList();
        else if (tag <= BarVolEnd)
            BuildVolList();
        else
            BuildPitchList();
        break;
    }
    case BarMasterVolume:
        edit(tag)->setText(shown);
        giveSelection(changed);
        m_host.setGenVol(position);
        m_audio.SetMasterVolume(PercentToVolume(100 - position));
        return;  // the master volume is no document value: Apply stays as it is
    default:
        return;
    }
    m_btApply->setEnabled(true);
}

void TfPlayingSS::BuildTimeList() { m_schedule.BuildTimeList(bar(BarTimeStart)->value(), bar(BarTimeEnd)->value()); }
void TfPlayingSS::BuildVolList() { m_schedule.BuildVolList(bar(BarVolStart)->value(), bar(BarVolEnd)->value()); }
void TfPlayingSS::BuildPitchList() {
    m_schedule.BuildPitchList(bar(BarPitchStart)->value(), bar(BarPitchEnd)->value());
}

int TfPlayingSS::tagOf(const QLineEdit* e) const {
    for (int tag = 1; tag <= 9; ++tag)
        if (edit(tag) == e)
            return tag;
    return 0;
}

QString TfPlayingSS::editText(int tag) const { return edit(tag)->text(); }

bool TfPlayingSS::eventFilter(QObject* watched, QEvent* e) {
    auto* lineEdit = qobject_cast<QLineEdit*>(watched);
    const int tag = lineEdit ? tagOf(lineEdit) : 0;
    if (tag == 0)
        return QDialog::eventFilter(watched, e);
    if (e->type() == QEvent::FocusIn) {
        m_curEdit = lineEdit;  // Ed_VolEnter
    } else if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {  // Ed_VolKeyDown
            PressEdit(lineEdit);
            return true;
        }
        // Ed_VolKeyPress / Ed_PitKeyPress: digits, backspace and (for numbers with fractions) the
        // locale's decimal separator. Every other character, clipboard shortcuts included, is
        // dropped; keys without a character (arrows, Delete, Home, End) move the cursor as usual.
        if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
            return true;
        if (key->key() == Qt::Key_Backspace)
            return false;
        const QString text = key->text();
        if (text.isEmpty())
            return false;
        const bool fractions = tag != BarLoopPitch && tag != BarPitchStart && tag != BarPitchEnd;
        const QChar c = text.at(0);
        const bool allowed =
            text.size() == 1 && (c.isDigit() && c.unicode() < 0x80 ? true
                                 : fractions && c.unicode() == static_cast<unsigned char>(localeDecimalSeparator()));
        if (!allowed || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TfPlayingSS::PressEdit(QLineEdit* e) {
    const int tag = tagOf(e);
    if (tag == 0)
        return;
    setBar(tag, pressEditPosition(tag, toBytes(e->text())));
}

void TfPlayingSS::Enter1Click() {
    if (m_curEdit)
        PressEdit(m_curEdit);
}

void TfPlayingSS::updatePlayAll() {
    if (m_loopTag == 1 && m_randTag == 1) {
        m_allTag = 1;
        m_btPlayAll->setText(QStringLiteral("Stop All"));
    } else if (m_loopTag == 0 && m_randTag == 0) {
        m_allTag = 0;
        m_btPlayAll->setText(QStringLiteral("Play All"));
    }
}

void TfPlayingSS::BtPlayLoopingClick() {
    const AudioChannel ch = m_audio.LoopSound.Channel;
    if (m_loopTag == 0) {
        const int pitch = 260 - bar(BarLoopPitch)->value();
        if (!m_audio.SetChannelPitch(ch, m_audio.LoopSound.Freq, pitch)) {
            bar(BarLoopPitch)->setValue(160);
            m_audio.SetChannelPitch(ch, m_audio.LoopSound.Freq, 100);
        }
        const double volume = readNumber(toBytes(edit(BarLoopVolume)->text())).value_or(0.1);
        if (!m_audio.FadeInChannelVolume(ch, static_cast<float>(volume)))
            return;
        if (!m_audio.PlayChannel(ch)) {
            m_host.showMessage({"Ошибка воспроизведения", "Play Loop", MessageIcon::Error});
        } else {
            m_loopTag = 1;
            m_btPlayLooping->setText(QStringLiteral("Stop Looping"));
            m_timerPlayLoop.start();
            m_status->setPanelText(1, QStringLiteral(" Looping: ") +
                                          QString::fromStdString(fileNamePart(m_audio.LoopSound.FileName)));
        }
    } else {
        m_audio.StopChannel(ch);
        m_loopTag = 0;
        m_btPlayLooping->setText(QStringLiteral("Play Looping"));
        m_timerPlayLoop.stop();
        m_status->clearIndicator(m_loopMarkLeft, m_loopMarkRight);
        m_loopFrame = 4;
        m_status->setPanelText(1, QString());
    }
    if (m_randVisible)
        updatePlayAll();
}

void TfPlayingSS::BtPlayRandomClick() {
    if (m_randTag == 0) {
        m_randTag = 1;
        m_btPlayRandom->setText(QStringLiteral("Stop Random"));
        // With empty lists the first TPRnd event comes at once and stops the random part again.
        m_tpRnd.setInterval(static_cast<int>(m_schedule.start().value_or(0)));
        m_timerPlayRand.start();
        m_tpRnd.start();
    } else {
        for (AudioChannel ch : m_audio.PlayList.Channels)
            m_audio.StopChannel(ch);
        m_randTag = 0;
        m_btPlayRandom->setText(QStringLiteral("Play Random"));
        m_timerPlayRand.stop();
        m_status->clearIndicator(m_randMarkLeft, m_randMarkRight);
        m_randFrame = 4;
        m_tpRnd.stop();
        m_status->setPanelText(3, QString());
        for (QLabel* l : {m_lTime, m_lVol, m_lLen, m_lPit})
            l->setText(QStringLiteral("0"));
    }
    if (m_loopVisible)
        updatePlayAll();
}

void TfPlayingSS::btPlayAllClick() {
    if (m_allTag == 0) {
        if (m_loopVisible && m_loopTag == 0)
            BtPlayLoopingClick();
        if (m_randVisible && m_randTag == 0)
            BtPlayRandomClick();
        m_allTag = 1;
        m_btPlayAll->setText(QStringLiteral("Stop All"));
    } else {
        if (m_loopTag == 1)
            BtPlayLoopingClick();
        if (m_randTag == 1)
            BtPlayRandomClick();
        m_allTag = 0;
        m_btPlayAll->setText(QStringLiteral("Play All"));
    }
}

void TfPlayingSS::TPRndTimer() {
    const auto& channels = m_audio.PlayList.Channels;
    const auto draw = m_schedule.next(static_cast<int>(channels.size()));
    if (!draw) {
        if (m_randTag == 1)
            BtPlayRandomClick();
        return;
    }
    m_tpRnd.setInterval(static_cast<int>(draw->delayMs));
    const auto index = static_cast<std::size_t>(draw->wave);
    const AudioChannel ch = channels[index];
    // Each wave is pitched from its own sample rate.
    const std::uint32_t rate = index < m_audio.PlayList.Freqs.size() ? m_audio.PlayList.Freqs[index] : 0;
    m_audio.SetChannelVolume(ch, static_cast<float>(draw->volume));
    int pitch = draw->pitch;
    if (!m_audio.SetChannelPitch(ch, rate, pitch)) {
        setBar(BarPitchStart, RandPitchToPos(100));
        setBar(BarPitchEnd, RandPitchToPos(100));
        pitch = 100;
        m_audio.SetChannelPitch(ch, rate, 100);
    }
    if (!m_audio.PlayChannel(ch)) {
        if (m_randTag == 1)
            BtPlayRandomClick();
        return;
    }
    m_status->drawIndicator(m_randMarkLeft, m_randFrame);
    RandomDraw shown = *draw;
    shown.pitch = pitch;
    const std::string name = index < m_audio.PlayList.Names.size() ? m_audio.PlayList.Names[index] : std::string();
    m_status->setPanelText(3, QString::fromStdString(RandomSchedule::playingText(name, shown)));
    m_lTime->setText(QString::fromStdString(formatGeneral(draw->delayMs / 1000.0, 4)));
    m_lVol->setText(QString::fromStdString(formatGeneral(draw->volume, 3)));
    m_lLen->setText(QString::fromStdString(formatGeneral(m_audio.ChannelLengthSec(ch), 2)));
    m_lPit->setText(QString::number(pitch));
}

void TfPlayingSS::TimerPlayLoopTimer() {
    if (!m_audio.IsChannelPlaying(m_audio.LoopSound.Channel))
        return;
    if (m_loopFrame == 4) {
        m_loopFrame = 0;
        m_status->clearIndicator(m_loopMarkLeft, m_loopMarkRight);
    } else {
        ++m_loopFrame;
    }
    m_status->drawIndicator(m_loopMarkLeft, m_loopFrame);
}

void TfPlayingSS::TimerPlayRandTimer() {
    if (m_randFrame == 4) {
        m_randFrame = 0;
        m_status->clearIndicator(m_randMarkLeft, m_randMarkRight);
    } else {
        ++m_randFrame;
    }
    const auto& channels = m_audio.PlayList.Channels;
    const auto wave = static_cast<std::size_t>(m_schedule.CurWave());
    if (wave < channels.size() && m_audio.IsChannelPlaying(channels[wave])) {
        m_status->drawIndicator(m_randMarkLeft, m_randFrame);
    } else {
        m_status->setPanelText(3, QString::fromStdString(m_schedule.waitingText()));
        m_status->clearIndicator(m_randMarkLeft, m_randMarkRight);
        m_randFrame = 0;
    }
}

void TfPlayingSS::btApplyClick() {
    if (m_tree.empty() || !m_soundscape || m_soundscape->level() != 0 || !m_tree.next(m_soundscape))
        return;
    auto quoted = [](const QString& text) { return "\"" + CommaToPoint(toBytes(text)) + "\""; };
    auto range = [this](int startTag) {
        return "\"" + CommaToPoint(toBytes(editText(startTag))) + "," + CommaToPoint(toBytes(editText(startTag + 1))) +
               "\"";
    };
    Node* node = m_tree.next(m_soundscape);
    while (node) {
        if (!node->hasChildren()) {
            node = m_tree.next(node);
            continue;
        }
        const SoundBlock kind = classifyBlockHeader(node->text());
        if (kind == SoundBlock::RndWave || kind == SoundBlock::None)
            break;
        const int level = node->level();
        Node* n = m_tree.next(node);
        if (kind == SoundBlock::PlayLooping) {
            for (; n && n->level() > level; n = m_tree.next(n)) {
                // Values of a group that is not shown were never loaded into its edit boxes: they
                // are left as the document has them.
                if (!m_loopVisible || !n->data())
                    continue;
                if (n->text() == "\"volume\"")
                    setNodeValue(m_tree, n, quoted(editText(BarLoopVolume)));
                else if (n->text() == "\"pitch\"")
                    setNodeValue(m_tree, n, quoted(editText(BarLoopPitch)));
            }
        } else if (kind == SoundBlock::PlayRandom) {
            for (; n && !n->hasChildren(); n = m_tree.next(n)) {
                if (!m_randVisible || !n->data())
                    continue;
                if (n->text() == "\"volume\"")
                    setNodeValue(m_tree, n, range(BarVolStart));
                else if (n->text() == "\"pitch\"")
                    setNodeValue(m_tree, n, range(BarPitchStart));
                else if (n->text() == "\"time\"")
                    setNodeValue(m_tree, n, range(BarTimeStart));
            }
        }
        node = n;
    }
    m_btApply->setEnabled(false);
    m_applied = true;
    m_host.documentChanged();
}

bool A_Play_SSExecute(SectionTree& tree, Node* selected, const std::string& soundDir, PlayingWav& audio,
                      AudioHost& host, bool modified, QWidget* parent, QWidget* volumeWindow) {
    if (tree.empty() || !selected || selected->level() != 0)
        return modified;
    audio.ReleaseAllSounds();
    AnalyseSS(tree, selected, soundDir, audio);
    if (!fileExists(audio.LoopSound.FileName) && audio.PlayList.Channels.empty()) {
        host.showMessage({"В выбранном soundscape отсутсвуют звуки или не правильно указан путь к ним",
                          "Воспроизвести soundscape", MessageIcon::Warning});
        return modified;
    }
    if (volumeWindow)
        volumeWindow->close();
    // Every channel is released after the panel, also when an error escapes it.
    struct ReleaseOnExit {
        PlayingWav& audio;
        ~ReleaseOnExit() { audio.ReleaseAllSounds(); }
    } release{audio};
    bool applied = false;
    {
        TfPlayingSS panel(tree, selected, audio, host, parent);
        panel.setWindowTitle(fromScript(selected->text()));
        panel.exec();
        applied = panel.Applied();
    }
    // The flag stays set when the document had unsaved changes before the panel opened.
    return modified || applied;
}

} // namespace tonvale
