#include "shell/ui/TrainzBuildMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <memory>

#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {

// Shows the state: the menu's caption, the two fixed items' captions and the checked item.
void ShowState(QMenu* menu, const TTrainzBuildState& builds) {
    menu->setTitle(QString::fromStdString(builds.MenuCaption()));
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        const int item = action->data().toInt();
        if (item == TTrainzBuildState::kCurrentAsset) action->setText(QString::fromStdString(builds.CurrentAssetCaption()));
        if (item == TTrainzBuildState::kDefaultBuild) action->setText(QString::fromStdString(builds.DefaultBuildCaption()));
        action->setChecked(item == builds.Checked());
    }
}

}  // namespace

void ConnectTrainzBuildMenu(TMain& main, TTrainzBuildState& builds, TTrainzBuildSources sources) {
    QMenu* menu = main.TopMenu("TrainzBuildMenu");
    if (!menu) return;
    auto shared = std::make_shared<TTrainzBuildSources>(std::move(sources));
    auto alert = [shared](const std::string& text) {
        if (!text.empty() && shared->Alert) shared->Alert(text);
    };

    builds.BuildMenu();
    menu->clear();
    auto* group = new QActionGroup(menu);
    auto add = [&](const std::string& caption, int item, const char* name) {
        // A build's name is shown as it is: "&" in it is no access key.
        QAction* action = menu->addAction(QString::fromStdString(caption).replace('&', "&&"));
        if (name) action->setObjectName(name);
        action->setData(item);
        action->setCheckable(true);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, menu, [&builds, shared, alert, menu, item] {
            alert(builds.Select(item, shared->AssetShown(), shared->AssetTrainzBuild()));
            ShowState(menu, builds);
        });
    };
    add(builds.CurrentAssetCaption(), TTrainzBuildState::kCurrentAsset, "mCurrentAsset");
    add(builds.DefaultBuildCaption(), TTrainzBuildState::kDefaultBuild, "mDefaultBuild");
    menu->addSeparator();
    const auto& known = builds.KnownBuilds();
    for (std::size_t i = 0; i < known.size(); ++i) add(known[i].Caption, static_cast<int>(i), nullptr);
    ShowState(menu, builds);

    main.RefreshTrainzBuild = [&main, &builds, shared, alert, menu](const std::string& reason) {
        if (main.Closing()) return;
        alert(builds.Refresh(reason, shared->AssetShown(), shared->AssetTrainzBuild()));
        ShowState(menu, builds);
    };
}

}  // namespace kelvarn
