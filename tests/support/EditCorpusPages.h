// Edit Tag through the editor window's own pages, as a user opens each tag and confirms it untouched:
// with OK, or with Enter on the page's field. The pages are where an untouched value could change
// (a set re-sorted, a number rounded to the digits shown), which a host without them cannot see.
// Shared by the corpus test through the pages and bench/edit_corpus.
#pragma once

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "catalogue/ui/Editor.h"
#include "catalogue/ui/EditorTagHost.h"
#include "media/ui/GridView.h"
#include "media/ui/TextView.h"
#include "support/EditCorpus.h"

namespace kelvarn::editcorpus {

// `tally` counts a page that Enter leaves open as a failure.
inline TEditTagStep PagesEditTag(bool enter, TTally& tally) {
    return {enter ? "Edit Tag Enter (pages)" : "Edit Tag OK (pages)",
            [enter, &tally](TEditRun& run, const std::vector<TOutlineNode*>& tags) {
                // The editor takes the two views over.
                TEditor editor(run.State(), *new TTextView(run.State()), *new TGridView(run.State()));
                TEditorTagHost host(run.State(), editor, run.Doc());
                std::string path;  // the tag being edited, for the report
                QTimer confirm;
                confirm.setSingleShot(true);
                confirm.setInterval(0);
                int waits = 0;
                QObject::connect(&confirm, &QTimer::timeout, &editor, [&] {
                    // Whatever ran before the window showed, the confirmation waits for it; Enter
                    // also for the window to be active, which puts the focus on the page's field.
                    if (!editor.isVisible() || (enter && !editor.isActiveWindow() && ++waits < 1000)) {
                        if (editor.isVisible()) editor.activateWindow();
                        confirm.start();
                        return;
                    }
                    waits = 0;
                    QWidget* field = editor.focusWidget();
                    // In a text of many lines Enter is a line break, not a confirmation: there OK.
                    if (enter && field && !qobject_cast<QPlainTextEdit*>(field))
                        QTest::keyClick(field, Qt::Key_Return);
                    else if (!enter || field)
                        editor.bOK->click();
                    if (editor.isVisible()) {
                        ++tally.failed;
                        tally.Note(path + (field ? ": Enter leaves the page open" : ": no field has the focus"));
                        editor.bCancel->click();
                    }
                });
                for (TOutlineNode* node : tags) {
                    path = run.Doc().NodePath(node);
                    confirm.start();
                    EditTag(run.Doc(), node, host);
                    confirm.stop();
                }
            }};
}

}  // namespace kelvarn::editcorpus
