// SPDX-License-Identifier: MIT
#include "settings/RecentFiles.h"

#include <algorithm>

namespace tonvale {

int RecentFiles::count() const {
    return static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const QString& s) { return !s.isEmpty(); }));
}

RecentFiles::Result RecentFiles::add(const QString& path) {
    if (path.isEmpty() || std::find(m_slots.begin(), m_slots.end(), path) != m_slots.end())
        return {};
    if (m_ring > Size - 1)
        m_ring = 0;
    for (int j = 0; j < Size; ++j) {
        if (m_slots[static_cast<std::size_t>(j)].isEmpty()) {
            m_slots[static_cast<std::size_t>(j)] = path;
            m_ring = static_cast<unsigned char>(j + 1);
            return {Change::Appended, j};
        }
    }
    const int slot = m_ring;
    m_slots[static_cast<std::size_t>(slot)] = path;
    m_ring = static_cast<unsigned char>(m_ring + 1);
    return {Change::Replaced, slot};
}

void RecentFiles::rebuild(const std::function<bool(const QString&)>& exists) {
    std::array<QString, Size> kept;
    std::size_t n = 0;
    for (const QString& path : m_slots) {
        if (!path.isEmpty() && exists(path))
            kept[n++] = path;
    }
    m_slots = kept;
    if (n == 0)
        m_ring = 0;
}

} // namespace tonvale
