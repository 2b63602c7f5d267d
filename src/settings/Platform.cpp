// SPDX-License-Identifier: MIT
#include "settings/Platform.h"

#include "document/FileIO.h"
#include "document/TextHelpers.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUrl>

namespace tonvale {

namespace {
QString withSeparator(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}
} // namespace

std::optional<QString> environmentFileValue(std::string_view bytes, const QString& name) {
    const std::string wanted = name.toStdString();
    std::optional<QString> result;
    for (std::string_view line : splitLines(bytes)) {
        line = trim(line);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.substr(0, 7) == "export ")
            line = trim(line.substr(7));
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || trim(line.substr(0, eq)) != wanted)
            continue;
        std::string_view value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        result = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    }
    return result;
}

Platform::Platform()
    : m_programFolder(withSeparator(QCoreApplication::applicationDirPath())),
      m_lookup(
          [](const QString& name) { return qEnvironmentVariableIsSet(name.toLocal8Bit().constData()); }) {}

void Platform::setProgramFolder(const QString& folder) {
    m_programFolder = withSeparator(folder);
}

QString Platform::writableFolder() const {
    if (!m_writableFolder.isEmpty())
        return withSeparator(m_writableFolder);
    const QFileInfo program(m_programFolder);
    // An installed program keeps its settings per user even where root could write beside it.
    const bool installed =
        QFileInfo::exists(m_programFolder + QStringLiteral("../share/applications/tonvale.desktop"));
    if (program.isDir() && program.isWritable() && !installed)
        return m_programFolder;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = config + QStringLiteral("/tonvale");
    QDir().mkpath(folder);
    return withSeparator(folder);
}

bool Platform::hasEnvironmentVariable(const QString& name) const {
    return m_lookup(name);
}

QString Platform::systemEnvironmentValue(const QString& name) const {
    std::string bytes;
    std::string error;
    if (!readWholeFile(m_environmentFile.toStdString(), bytes, error))
        return {};
    return environmentFileValue(bytes, name).value_or(QString());
}

bool Platform::openDocument(const QString& path) const {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QChar Platform::decimalSeparator() const {
    return QLocale().decimalPoint().at(0);
}

QString Platform::variableValue(const QString& name) const {
    if (!hasEnvironmentVariable(name))
        return {};
    return systemEnvironmentValue(name);
}

} // namespace tonvale
