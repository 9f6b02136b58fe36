// The tag editing rows of the main window's dispatcher and the outline's editing hooks: the editor
// window's lists from the outline (callbacks 228, 229, 232), the attachment table (1323), and the
// outline's Edit Tag, value picker and Insert Tag.
#pragma once

namespace kelvarn {

class TEditor;
class TEditorTagHost;
class TMain;
class TOutlineView;
class TWalnut;

// `outline` is the main window's outline, `walnut` its tag definitions.
void RegisterTagEditRows(TMain& main, TOutlineView& outline, TEditor& editor, TEditorTagHost& host, TWalnut& walnut);

}  // namespace kelvarn
