#include "media/ui/GridViewRows.h"

#include "media/ui/GridView.h"
#include "shell/Text.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

void ConnectGridView(TMain& main, TGridView& view) {
    TDispatcher& d = main.Dispatcher();
    d.RegisterCallback(ccShowTable, [&main, &view](const std::string& text) {
        for (TFrameId id : {TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image})
            main.Frame(id)->QuerySave();
        view.ShowTable(SplitLines(text));
    });
    d.RegisterCommand(1012, [&view](const std::string&) { view.SaveGrid(); });
    for (int tag = 2701; tag <= 2712; ++tag)
        d.RegisterCommand(tag, [tag](const std::string&) {
            if (TGridView* grid = TGridView::MenuGrid()) grid->PerformCommand(tag);
        });
    d.AddMenuValidator([](int group) {
        if (group != 2700) return;
        if (TGridView* grid = TGridView::MenuGrid()) grid->UpdateMenuState();
    });
}

}  // namespace kelvarn
