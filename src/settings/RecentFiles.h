// SPDX-License-Identifier: MIT
#pragma once

// The five most recent files: slots f01..f05 without gaps at the front, and a ring position (0 at
// every start) naming the slot that a new path overwrites once all five are full.

#include <QString>
#include <array>
#include <functional>

namespace tonvale {

class RecentFiles {
  public:
    static constexpr int Size = 5;
    enum class Change { None, Appended, Replaced };
    struct Result {
        Change change = Change::None;
        int slot = -1;
    };

    void setPaths(const std::array<QString, Size>& paths) { m_slots = paths; }
    const std::array<QString, Size>& paths() const { return m_slots; }
    const QString& slot(int i) const { return m_slots[static_cast<std::size_t>(i)]; }
    int count() const;
    int ringPosition() const { return m_ring; }

    // Adds a path (an exact duplicate is refused): into the first empty slot, or over the slot at the
    // ring position when all are full.
    Result add(const QString& path);
    // Drops slots whose file is gone and closes the gaps, keeping the order.
    void rebuild(const std::function<bool(const QString&)>& exists);

  private:
    std::array<QString, Size> m_slots;
    unsigned char m_ring = 0;
};

} // namespace tonvale
