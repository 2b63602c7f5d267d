// SPDX-License-Identifier: MIT
#pragma once

// The commands that change the document's structure from the tree and the grid: a new soundscape,
// blocks from the templates, a new element, rename, delete, comments, the wave file chooser and
// moves by drag and drop. It asks its questions through Prompts and reaches the window only through
// DocumentWindow.

#include "document/Templates.h"
#include "shell/DocumentWindow.h"

#include <QObject>

namespace tonvale {

class Prompts;

class TreeEditor : public QObject {
    Q_OBJECT
  public:
    TreeEditor(DocumentWindow& window, Prompts& prompts, QObject* parent = nullptr);

    void newSoundscape();
    void newBlock(BlockKind kind);
    void newElement();
    void renameSelected();
    void deleteSelected();
    void editSelectedComments();
    void chooseWaveFile();
    void onNodeDropped(Node* dragged, Node* target);

  private:
    DocumentWindow& m_window;
    Prompts& m_prompts;
};

} // namespace tonvale
