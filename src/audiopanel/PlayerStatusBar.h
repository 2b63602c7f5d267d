// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>

namespace tonvale {

// The player panel's status bar: four panels (loop indicator, loop text, random indicator, random
// text) and the two play indicators, drawn from five chevron images of 17 x 11 pixels. An indicator
// shows the images drawn so far over each other until it is cleared.
class PlayerStatusBar : public QWidget {
    Q_OBJECT
  public:
    explicit PlayerStatusBar(QWidget* parent = nullptr);

    void setPanelWidth(int panel, int width);
    int panelWidth(int panel) const { return m_widths[static_cast<std::size_t>(panel)]; }
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const { return m_texts[static_cast<std::size_t>(panel)]; }

    // Draws image `frame` (0 to 4) at x `left`, y 5; clearing fills (left, 5)-(right, 16).
    void drawIndicator(int left, int frame);
    void clearIndicator(int left, int right);
    // The frame drawn last at `left`, -1 when cleared.
    int indicatorFrame(int left) const;

    static const std::array<QPixmap, 5>& images();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<int, 4> m_widths{21, 178, 21, 50};
    std::array<QString, 4> m_texts;
    struct Mark {
        int left = -1;
        int frame = -1;
    };
    std::array<Mark, 2> m_marks;
};

} // namespace tonvale
