// SPDX-License-Identifier: MIT
#include "testsupport/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tonvale {

TestFolder::TestFolder() = default;

QString TestFolder::file(const QString& name) const {
    return m_dir.filePath(name);
}

QString TestFolder::write(const QString& name, const std::string& bytes) const {
    const QString full = file(name);
    QDir().mkpath(QFileInfo(full).path());
    QFile out(full);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return full;
}

std::string TestFolder::read(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll().toStdString();
}

bool TestFolder::exists(const QString& path) {
    return QFileInfo(path).isFile();
}

QString sampleScriptPath() {
#ifdef TONVALE_SAMPLE_SCRIPT
    return QStringLiteral(TONVALE_SAMPLE_SCRIPT);
#else
    return {};
#endif
}

} // namespace tonvale
