// SPDX-License-Identifier: MIT
#pragma once

// The main window's status bar: three panels numbered 1 to 3 (the save mode, the preview's state,
// the current file or the last load error), each wide enough for the longest text it shows, and at
// the right the encoding the document's texts are shown in.

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

namespace tonvale {

class StatusPanels {
  public:
    explicit StatusPanels(QStatusBar* bar);
    QString text(int panel) const; // empty for a panel that does not exist
    void setText(int panel, const QString& text);
    QString encoding() const;
    void setEncoding(const QString& name);

  private:
    std::array<QLabel*, 3> m_panels{};
    QLabel* m_encoding = nullptr;
};

} // namespace tonvale
