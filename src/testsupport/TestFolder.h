// SPDX-License-Identifier: MIT
#pragma once

// A temporary folder for one test, removed afterwards, with helpers to write and read files in it,
// and the paths of the repository's fixtures.

#include <QString>
#include <QTemporaryDir>
#include <string>

namespace tonvale {

class TestFolder {
  public:
    TestFolder();
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const; // full path of a file in the folder
    // Writes bytes as they are (CR LF stays CR LF), creating folders on the way.
    QString write(const QString& name, const std::string& bytes) const;
    static std::string read(const QString& path);
    static bool exists(const QString& path);

  private:
    QTemporaryDir m_dir;
};

QString sampleScriptPath(); // the bundled sample script

} // namespace tonvale
