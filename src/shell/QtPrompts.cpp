#include "shell/QtPrompts.h"

#include "shell/SaveOriginDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace tonvale {

namespace {
QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(PromptButton button) {
    switch (button) {
    case OkButton: return QMessageBox::Ok;
    case YesButton: return QMessageBox::Yes;
    case NoButtonAnswer: return QMessageBox::No;
    case CancelButton: return QMessageBox::Cancel;
    case NoButton: break;
    }
    return QMessageBox::NoButton;
}
} // namespace

PromptButton QtPrompts::message(const QString& text, const QString& caption, MessageIcon icon, PromptButtons buttons,
                                PromptButton defaultButton) {
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, m_owner);
    for (PromptButton b : {YesButton, NoButtonAnswer, OkButton, CancelButton}) {
        if (buttons & b)
            box.addButton(qtButton(b));
    }
    if (defaultButton != NoButton)
        box.setDefaultButton(qtButton(defaultButton));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return YesButton;
    case QMessageBox::No: return NoButtonAnswer;
    case QMessageBox::Ok: return OkButton;
    default: return (buttons & CancelButton) ? CancelButton : defaultButton;
    }
}

QString QtPrompts::openFile(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(m_owner, title, folder, filter);
}

QString QtPrompts::saveFile(const QString& title, const QString& folder, const QString& filter,
                            const QString& defaultSuffix, const QString& fileName) {
    QFileDialog dialog(m_owner, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

SaveOriginAnswer QtPrompts::confirmSaveOriginal() {
    TfSorigin dialog(m_owner);
    const bool yes = dialog.exec() == QDialog::Accepted;
    return {yes, dialog.dontAskAgain()};
}

QString QtPrompts::browseFolder(const QString& title, const QString& folder) {
    const QString chosen = QFileDialog::getExistingDirectory(m_owner, title, folder, QFileDialog::ShowDirsOnly);
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

} // namespace tonvale
