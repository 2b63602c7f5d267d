// SPDX-License-Identifier: MIT
#pragma once

// The tab "Файл": the whole script as text in an editor with syntax colouring, a find button and two
// buttons that change the font size. It shows script bytes as text and gives back the bytes of what
// was typed; the main window decides when the tree and the text are converted into each other.

#include "settings/Settings.h"

#include <QWidget>
#include <string>

class QAction;
class QPlainTextEdit;
class QToolButton;

namespace tonvale {

class Node;
class ScriptHighlighter;

class TextPage : public QWidget {
    Q_OBJECT
  public:
    static constexpr int SmallestFont = MinFontSize;
    static constexpr int LargestFont = MaxFontSize;

    TextPage(QAction* findAction, QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return m_editor; }
    ScriptHighlighter* highlighter() const { return m_highlighter; }
    // The editor's text as the user sees it (no character replaced), and the bytes a save or the
    // return to the tree writes: every line of it followed by CR LF.
    QString editorText() const;
    std::string editorBytes() const;
    // Shows script bytes; this is not an edit of the user's.
    void showText(const std::string& scriptBytes);
    // True when the text changed since it was last shown; the tree then no longer is what it shows.
    bool changedSinceShown() const { return m_changedSinceShown; }
    // The tree was rebuilt from the text: both show the same document again.
    void markTreeRebuilt() { m_changedSinceShown = false; }
    // Selects the text of a header or "$" line in the editor; parameters are not looked for, as
    // their text is rarely unique in a script.
    void locate(const Node& node);

    void setFontSize(int size);
    int fontSize() const;
    void decreaseFontSize();
    void increaseFontSize();

  signals:
    // The user changed the text (typing, pasting, replacing).
    void edited();
    void fontSizeChanged(int size);

  private:
    void stepFontSize(int step);

    QPlainTextEdit* m_editor;
    ScriptHighlighter* m_highlighter;
    QToolButton* m_fontDown;
    QToolButton* m_fontUp;
    bool m_loading = false;
    bool m_changedSinceShown = false;
};

} // namespace tonvale
