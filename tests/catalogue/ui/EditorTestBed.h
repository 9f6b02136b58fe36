// The editor window on its own: a program state in a temporary folder with a settings file, the
// window's own text view and table view, and a helper that acts once a modal loop runs.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/ui/Editor.h"
#include "media/ui/GridView.h"
#include "media/ui/TextView.h"
#include "shell/ProgramState.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn::test {

// Runs `act` once the dialog's modal loop runs; a dialog that never shows fails the test instead
// of hanging it.
inline void WhenShown(QDialog& dialog, std::function<void()> act) {
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        if (!dialog.isVisible()) {
            ADD_FAILURE() << "the dialog is not shown";
            return;
        }
        act();
        // Whatever the test did, the loop must end.
        if (dialog.isVisible()) dialog.done(0);
    });
}

struct EditorBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    RecordingCommandBus bus;
    TTextView* text = nullptr;
    TGridView* table = nullptr;
    std::unique_ptr<TEditor> editor;

    EditorBed() {
        TestApp();
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.OpenSettings(dir / "kelvarn.ini");
        text = new TTextView(state);
        table = new TGridView(state);
        editor = std::make_unique<TEditor>(state, *text, *table);
    }
    ~EditorBed() { editor.reset(); }
};

}  // namespace kelvarn::test
