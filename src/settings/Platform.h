// SPDX-License-Identifier: MIT
#pragma once

// What the program asks of the machine, in one replaceable place: the program folder (and where the
// files it writes go when that folder is not writable), the system-wide environment, opening a
// document with the desktop, the decimal separator. Tests point the folders at temporary folders and
// replace the environment.

#include <QString>
#include <functional>
#include <optional>
#include <string_view>

namespace tonvale {

// The value of NAME in an environment file of "NAME=value" lines (optional "export ", optional
// quotes, "#" comments); nothing when the name is absent.
std::optional<QString> environmentFileValue(std::string_view bytes, const QString& name);

class Platform {
  public:
    Platform();
    virtual ~Platform() = default;

    // The executable's folder, with a trailing separator.
    QString programFolder() const { return m_programFolder; }
    void setProgramFolder(const QString& folder);
    // The folder for the settings file and the working file: the program folder when it is writable
    // and not an installed program's (one with share/applications/tonvale.desktop beside its bin
    // folder), otherwise the per-user config folder. Always with a trailing separator.
    QString writableFolder() const;
    void setWritableFolder(const QString& folder) { m_writableFolder = folder; }

    // Whether the process environment has the variable at all (an empty value counts).
    virtual bool hasEnvironmentVariable(const QString& name) const;
    // The system-wide value of the variable (on Linux from /etc/environment), empty when absent.
    virtual QString systemEnvironmentValue(const QString& name) const;
    void setEnvironmentFile(const QString& path) { m_environmentFile = path; }
    void setEnvironmentLookup(std::function<bool(const QString&)> lookup) { m_lookup = std::move(lookup); }

    virtual bool openDocument(const QString& path) const;
    virtual QChar decimalSeparator() const;

    // The project folder lookup: the system-wide value of the variable when the process environment
    // has it, else empty; the process's own value is never used.
    QString variableValue(const QString& name) const;

  private:
    QString m_programFolder;
    QString m_writableFolder;
    QString m_environmentFile = QStringLiteral("/etc/environment");
    std::function<bool(const QString&)> m_lookup;
};

} // namespace tonvale
