// SPDX-License-Identifier: MIT
#pragma once

// A main window for Qt tests: a temporary program folder, no project folder, scripted prompts and
// no sound. open() runs the Open command on a file written into the folder.

#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "shell/TextPage.h"
#include "shell/TreeEditor.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"
#include "testsupport/TestPlatform.h"

#include <memory>
#include <string>

namespace tonvale::test {

struct WindowFixture {
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Platform> platform;
    ScriptedPrompts prompts;
    NullAudio audio;

    void reset() {
        folder = std::make_unique<TestFolder>();
        platform = std::make_unique<Platform>();
        isolatePlatform(*platform, folder->path());
        prompts.clear();
        prompts.onMessage = nullptr;
    }
    std::unique_ptr<MainWindow> makeWindow() {
        return std::make_unique<MainWindow>(*platform, prompts, audio);
    }
    QString write(const QString& name, const std::string& bytes) const { return folder->write(name, bytes); }
    void open(MainWindow& w, const QString& path) {
        prompts.answer(path);
        w.openFile();
    }
    static Node* findNode(MainWindow& w, const std::string& text) {
        for (Node* n : w.tree().preorder()) {
            if (n->text() == text)
                return n;
        }
        return nullptr;
    }
};

} // namespace tonvale::test
