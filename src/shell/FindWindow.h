// SPDX-License-Identifier: MIT
#pragma once

// The find window: one small tool window, created hidden at start-up beside the main window and kept
// for the whole run. On the text tab it finds and replaces text in the editor; on the tree tab it finds
// a row of the parameter grid whose cell in the current column holds the text. It follows the main
// window's tab (caption, the tab "Заменить"), ignores letter case, and at the end of the text or the
// column offers to start again. It takes over the main window's commands Find (show) and FindAgain
// (F3); every question goes through Prompts. The next find position is 1-based in the editor's text.

#include <QWidget>
#include <cstddef>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tonvale {

class Prompts;
class MainWindow;

class FindWindow : public QWidget {
    Q_OBJECT
  public:
    FindWindow(MainWindow& main, Prompts& prompts);
    ~FindWindow() override;

    // Commands of the main window.
    void showFind();
    void findAgain();

    // The buttons: search (also Enter and F3), replace one, replace all.
    void search();
    void replaceOne();
    void replaceAll();

    bool isOpen() const { return m_open; }
    std::size_t nextFindPosition() const { return m_next; }
    QLineEdit* findText() const { return m_findEdit; }
    QLineEdit* replacementText() const { return m_replaceEdit; }
    QTabWidget* pages() const { return m_pages; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void onShown();
    void onClosed();
    void adaptToMainTab();
    void moveSharedControls();
    void placeControls();
    bool onTextTab() const;
    void searchEditor();
    void searchGrid();
    bool searchGridFrom(int row, int column);
    bool askAgain(const QString& text, const QString& caption);
    void selectInEditor(std::size_t at, qsizetype length);

    MainWindow& m_main;
    Prompts& m_prompts;
    std::size_t m_next = 0;
    bool m_open = false;

    QTabWidget* m_pages = nullptr;
    QWidget* m_findPage = nullptr;
    QWidget* m_replacePage = nullptr;
    QFrame* m_bevel = nullptr;
    QLabel* m_findLabel = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_replaceLabel = nullptr;
    QLineEdit* m_replaceEdit = nullptr;
    QPushButton* m_replaceButton = nullptr;
    QPushButton* m_replaceAllButton = nullptr;
};

} // namespace tonvale
