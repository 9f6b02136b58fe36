#include "catalogue/ui/TagEditRows.h"

#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/Editor.h"
#include "catalogue/ui/EditorTagHost.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/CommandBus.h"
#include "shell/Dispatcher.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

void RegisterTagEditRows(TMain& main, TOutlineView& outline, TEditor& editor, TEditorTagHost& host) {
    TDispatcher& d = main.Dispatcher();
    // The editor's choice list: the names of the children of the node at the config path.
    d.RegisterCallback(ccListChildren, [&outline, &editor](const std::string& path) {
        editor.ConfigList.clear();
        outline.Document().ListChildNames(path, editor.ConfigList);
    });
    host.TrainzBuild = [&outline](const std::string& reason) {
        if (outline.RefreshTrainzBuild) outline.RefreshTrainzBuild(reason);
    };
}

}  // namespace kelvarn
