// SPDX-License-Identifier: MIT
#pragma once

#include <QSlider>

namespace tonvale {

// A track bar as the player uses it: vertical with its Min at the top (or horizontal), a tag that
// selects its change handler, and a selection range drawn beside the groove.
class TrackBar : public QSlider {
    Q_OBJECT
  public:
    TrackBar(Qt::Orientation orientation, int tag, QWidget* parent = nullptr);
    int tag() const { return m_tag; }
    void setSelection(int start, int end);
    int selectionStart() const { return m_selStart; }
    int selectionEnd() const { return m_selEnd; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int m_tag;
    int m_selStart = 0;
    int m_selEnd = 0;
};

} // namespace tonvale
