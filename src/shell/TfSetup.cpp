#include "shell/TfSetup.h"

#include "editor/ParamGrid.h"
#include "shell/Platform.h"
#include "shell/Prompts.h"
#include "shell/TfSsMain.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
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

TfSetup::TfSetup(AppSettings& settings, Prompts& prompts, std::function<QString()> projectFolder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_settings(settings), m_prompts(prompts), m_projectFolder(std::move(projectFolder)) {
    setObjectName(QStringLiteral("TfSetup"));
    setWindowTitle(QStringLiteral("Настройки"));

    auto* saveGroup = new QGroupBox(QStringLiteral("Сохранять файл как..."));
    saveGroup->setObjectName(QStringLiteral("GB_Save"));
    m_radio2 = new QRadioButton(QStringLiteral("Временный файл с префиксом ~ (в каталоге ресурса)"));
    m_radio2->setObjectName(QStringLiteral("RadioButton2"));
    m_radio3 = new QRadioButton(QStringLiteral("Оригинальный файл в каталоге ресурса"));
    m_radio3->setObjectName(QStringLiteral("RadioButton3"));
    m_check2 = new QCheckBox(QStringLiteral("Покзывать запрос на подтверждение сохранения оригинального файла"));
    m_check2->setObjectName(QStringLiteral("CheckBox2"));
    auto* saveLayout = new QVBoxLayout(saveGroup);
    saveLayout->addWidget(m_radio2);
    saveLayout->addWidget(m_radio3);
    saveLayout->addWidget(m_check2);

    auto* pathGroup = new QGroupBox(QStringLiteral("Путь к файлам"));
    pathGroup->setObjectName(QStringLiteral("GB_Path"));
    m_check1 = new QCheckBox(QStringLiteral("VPROJECT"));
    m_check1->setObjectName(QStringLiteral("CheckBox1"));
    auto folderRow = [this](const char* editName, const char* buttonName, const QString& hint, QLineEdit*& edit,
                            QToolButton*& browse) {
        edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(editName));
        browse = new QToolButton;
        browse->setObjectName(QString::fromLatin1(buttonName));
        browse->setToolTip(hint);
        browse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    };
    folderRow("Edit1", "SpeedButton1", QStringLiteral("Путь к скриптам"), m_edit1, m_browse1);
    folderRow("Edit2", "SpeedButton2", QStringLiteral("Путь к звукам"), m_edit2, m_browse2);
    auto* pathLayout = new QGridLayout(pathGroup);
    pathLayout->addWidget(m_check1, 0, 0, 1, 3);
    pathLayout->addWidget(new QLabel(QStringLiteral("Путь к скриптам")), 1, 0);
    pathLayout->addWidget(m_edit1, 1, 1);
    pathLayout->addWidget(m_browse1, 1, 2);
    pathLayout->addWidget(new QLabel(QStringLiteral("Путь к звукам")), 2, 0);
    pathLayout->addWidget(m_edit2, 2, 1);
    pathLayout->addWidget(m_browse2, 2, 2);
    pathLayout->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(saveGroup);
    layout->addWidget(pathGroup, 1);

    // "~" is the button selected before the dialog is shown; selecting it again changes nothing, so a
    // save mode other than 1 and 2 survives unless the user picks a button.
    m_radio2->setChecked(true);
    connect(m_radio2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_saveMode = 1;
    });
    connect(m_radio3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_saveMode = 2;
    });
    connect(m_check1, &QCheckBox::toggled, this, [this](bool ticked) { CheckBox1Click(ticked); });
    connect(m_browse1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(m_browse2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });

    setFixedSize(sizeHint().expandedTo(QSize(423, 222)));
}

void TfSetup::prepare() {
    m_saveMode = m_settings.saveMode;
    m_check2->setChecked(!m_settings.saveOriginFile);
    if (m_settings.curdir == m_projectFolder()) {
        m_check1->setChecked(true);
        m_edit1->setText(m_settings.curdir);
        m_edit1->setEnabled(false);
        m_browse1->setEnabled(false);
    }
    if (m_settings.sounddir == projectSounds(m_projectFolder())) {
        m_check1->setChecked(true);
        m_edit2->setText(m_settings.sounddir);
        m_edit2->setEnabled(false);
        m_browse2->setEnabled(false);
    }
    m_edit1->setText(m_settings.curdir);
    m_edit2->setText(m_settings.sounddir);
}

void TfSetup::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfSetup::FormShow() {
    if (m_saveMode == 2)
        m_radio3->setChecked(true);
    else
        m_radio2->setChecked(true);
}

void TfSetup::CheckBox1Click(bool ticked) {
    for (QWidget* control : {static_cast<QWidget*>(m_edit1), static_cast<QWidget*>(m_browse1),
                             static_cast<QWidget*>(m_edit2), static_cast<QWidget*>(m_browse2)})
        control->setEnabled(!ticked);
    if (ticked) {
        const QString project = m_projectFolder();
        m_edit1->setText(project);
        m_edit2->setText(projectSounds(project));
    }
}

void TfSetup::SpeedButton1Click() {
    const QString chosen = m_prompts.browseFolder(QStringLiteral("Путь к soundscapes"), m_settings.curdir);
    if (chosen.isEmpty())
        return;
    m_settings.curdir = chosen;
    m_edit1->setText(chosen);
}

void TfSetup::SpeedButton2Click() {
    const QString chosen = m_prompts.browseFolder(QStringLiteral("Путь к \\sound"), m_settings.sounddir);
    if (chosen.isEmpty())
        return;
    m_settings.sounddir = chosen;
    m_edit2->setText(chosen);
}

void TfSetup::apply() {
    m_settings.saveMode = m_saveMode;
    m_settings.saveOriginFile = !m_check2->isChecked();
    const QString scripts = m_edit1->text();
    m_settings.curdir = isFolder(scripts) ? scripts : m_projectFolder();
    const QString sounds = m_edit2->text();
    m_settings.sounddir = isFolder(sounds) ? sounds : projectSounds(m_projectFolder());
}

// ---------------------------------------------------------------------------------------------
// The command of the main window

void TfSsMain::A_SettingsExecute() {
    TfSetup dialog(m_settings, m_prompts, [this] { return m_platform.startdir(QStringLiteral("VPROJECT")); }, this);
    dialog.prepare();
    dialog.exec();  // however it is closed, what it shows is applied
    dialog.apply();
    m_grid->setSoundsFolder(m_settings.sounddir);
    const QString modeText = saveModeText(m_settings.saveMode);
    if (!modeText.isEmpty())
        setStatus(1, modeText);
}

} // namespace tonvale
