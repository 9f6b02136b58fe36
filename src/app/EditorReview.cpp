#include "app/EditorReview.h"

#include <QCheckBox>
#include <QTreeView>

#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/Editor.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Text.h"

namespace kelvarn {

TReviewResult TEditorReview::ReviewAsset(const std::string& caption, const std::string& alert, TOutlineDocument& outline,
                                         bool last, bool& preview) {
    editor_.AcceptReject(640640, caption, Trim(alert));
    // The batch works in the editor's own outline; another tree is shown as a copy.
    if (&outline != &editor_.Outline()) editor_.Outline().CopyTreeFrom(outline);
    editor_.OutlineView().Tree()->expandAll();
    editor_.cbPreview->setChecked(preview);
    // After the last asset there is nothing to preview next.
    if (last) editor_.PreviewPanel->hide();
    const int result = editor_.ShowModal();
    preview = editor_.cbPreview->isChecked();
    if (result == erOK) return TReviewResult::Accept;
    return result == erAbort ? TReviewResult::Abort : TReviewResult::Reject;
}

}  // namespace kelvarn
