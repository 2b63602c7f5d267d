// SPDX-License-Identifier: MIT
#include "dialogs/QtPrompts.h"

#include "dialogs/SaveOriginDialog.h"
#include "editor/CommentsDialog.h"
#include "editor/NewElementDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>

namespace tonvale {

namespace {
QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(PromptButton button) {
    switch (button) {
    case OkButton:
        return QMessageBox::Ok;
    case YesButton:
        return QMessageBox::Yes;
    case NoButtonAnswer:
        return QMessageBox::No;
    case CancelButton:
        return QMessageBox::Cancel;
    case NoButton:
        break;
    }
    return QMessageBox::NoButton;
}
} // namespace

PromptButton QtPrompts::message(const QString& text, const QString& caption, MessageIcon icon,
                                PromptButtons buttons, PromptButton defaultButton) {
    // A lone CR ends a line in the program's texts; the message box breaks lines at LF.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(qtIcon(icon), caption, shown, QMessageBox::NoButton, m_owner);
    for (PromptButton b : {YesButton, NoButtonAnswer, OkButton, CancelButton}) {
        if (buttons & b)
            box.addButton(qtButton(b));
    }
    if (defaultButton != NoButton)
        box.setDefaultButton(qtButton(defaultButton));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return YesButton;
    case QMessageBox::No:
        return NoButtonAnswer;
    case QMessageBox::Ok:
        return OkButton;
    default:
        return (buttons & CancelButton) ? CancelButton : defaultButton;
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

SaveAsAnswer QtPrompts::saveScriptAs(const QString& title, const QString& folder, const QString& filter,
                                     const QString& defaultSuffix, bool keepLayout, bool layoutOffered) {
    QFileDialog dialog(m_owner, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // Qt's own dialog, so that the choice of layout can stand under the file name.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto* keep = new QCheckBox(
        QCoreApplication::translate("tonvale::SettingsDialog", "Сохранять оформление файла"), &dialog);
    keep->setObjectName(QStringLiteral("keepLayout"));
    keep->setChecked(keepLayout && layoutOffered);
    keep->setEnabled(layoutOffered);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(keep, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(), keep->isChecked()};
}

SaveOriginAnswer QtPrompts::confirmSaveOriginal() {
    SaveOriginDialog dialog(m_owner);
    const bool yes = dialog.exec() == QDialog::Accepted;
    return {yes, dialog.dontAskAgain()};
}

std::optional<QString> QtPrompts::inputText(const QString& caption, const QString& prompt,
                                            const QString& initial) {
    QInputDialog dialog(m_owner);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<NewElementAnswers> QtPrompts::newElement(const QString& caption,
                                                       const QStringList& suggestedNames) {
    NewElementDialog dialog(m_owner);
    dialog.setWindowTitle(caption);
    dialog.setSuggestedNames(suggestedNames);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answers();
}

std::optional<CommentAnswers> QtPrompts::editComments(const QString& caption, const std::string& beside,
                                                      const std::string& commentsAbove) {
    CommentsDialog dialog(m_owner);
    dialog.setWindowTitle(caption);
    dialog.setComments(beside, commentsAbove);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return CommentAnswers{dialog.beside(), dialog.aboveLines()};
}

QString QtPrompts::browseFolder(const QString& title, const QString& folder) {
    const QString chosen =
        QFileDialog::getExistingDirectory(m_owner, title, folder, QFileDialog::ShowDirsOnly);
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

} // namespace tonvale
