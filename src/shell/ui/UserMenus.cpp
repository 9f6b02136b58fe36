#include "shell/ui/UserMenus.h"

#include <QAction>
#include <QMenu>

#include "shell/Macros.h"
#include "shell/MainMenuTable.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ScriptMenu.h"
#include "shell/UserMenus.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {

// The marks of added items, by which a rebuild finds them.
constexpr const char* kUserItem = "userItem";
constexpr const char* kScriptItem = "scriptItem";

QString ToQ(const std::string& text) { return QString::fromStdString(text); }

// A name shown as it is: "&" is a character of a file name, not an accelerator mark.
QString Literal(const std::string& text) { return ToQ(text).replace('&', "&&"); }

// Removes the items that carry `mark`. They go later, not now: one of them may be the item whose
// click is still running (a script that opened this menu again).
void RemoveMarked(QMenu* menu, const char* mark) {
    if (!menu) return;
    for (QAction* action : menu->actions()) {
        if (!action->property(mark).toBool()) continue;
        menu->removeAction(action);
        if (QMenu* sub = action->menu(); sub && sub->parent() == menu)
            sub->deleteLater();
        else if (action->parent() == menu)
            action->deleteLater();
    }
}

bool HasItemCaptioned(const QMenu* menu, const QString& caption) {
    for (const QAction* action : menu->actions())
        if (!action->isSeparator() && action->text() == caption) return true;
    return false;
}

}  // namespace

TUserMenus::TUserMenus(TMain& main, TProgramState& state) : QObject(&main), main_(main), state_(state) {
    TDispatcher& d = main.Dispatcher();
    main.ShowHooks.push_back([this] { BuildUserMenus(); });
    d.RegisterCallback(ccRebuildMenus, [this](const std::string&) { BuildUserMenus(); });
    d.RegisterCallback(ccOpenLink, [this](const std::string& caption) { OpenLink(caption); });
    d.RegisterCommand(1600, [this](const std::string&) { BuildScriptMenu(); });
    d.AddMenuValidator([this](int group) {
        if (group == 1600) BuildScriptMenu();
    });
}

void TUserMenus::AddUserItems(QMenu* menu, const TUserMenu& source) {
    for (const TUserMenuItem& item : source.items) {
        if (item.separator) {
            menu->addSeparator()->setProperty(kUserItem, true);
            continue;
        }
        const QString caption = ToQ(item.caption);
        if (HasItemCaptioned(menu, caption)) continue;
        QAction* action = menu->addAction(caption);
        action->setProperty(kUserItem, true);
        action->setProperty("tag", item.tag);
        action->setProperty("parentMenu", menu->objectName());
        connect(action, &QAction::triggered, this, [this, action] { UserMenuExecute(action); });
    }
}

void TUserMenus::BuildUserMenus() {
    std::string flushError;
    const TUserMenuModel model = ReadUserMenus(state_.Settings(), &flushError);
    if (!flushError.empty()) state_.Messages->ShowMessage(flushError, "", MessageKind::Error);

    QMenu* help = main_.TopMenu("HelpMainMenu");
    QMenu* tools = main_.TopMenu("ToolsMainMenu");
    RemoveMarked(help, kUserItem);
    RemoveMarked(tools, kUserItem);
    // A line sets the user's items apart from the designed ones.
    auto separate = [](QMenu* menu) { menu->addSeparator()->setProperty(kUserItem, true); };
    if (tools && !model.tools.items.empty()) separate(tools);
    if (help && (!model.documents.items.empty() || !model.help.items.empty())) separate(help);
    if (help && !model.documents.items.empty()) {
        QMenu* documents = help->addMenu("Documents");
        documents->setObjectName("Documents");
        documents->menuAction()->setProperty(kUserItem, true);
        AddUserItems(documents, model.documents);
    }
    if (tools) AddUserItems(tools, model.tools);
    if (help) AddUserItems(help, model.help);
    for (const TUserMenu& custom : model.custom) {
        QMenu* menu = main_.TopMenu(ToQ(custom.section));
        if (!menu) continue;
        menu->menuAction()->setVisible(false);
        for (QAction* action : menu->actions()) action->setProperty(kUserItem, true);
        RemoveMarked(menu, kUserItem);
        if (!custom.visible) continue;
        menu->setTitle(ToQ(custom.caption));
        menu->menuAction()->setVisible(true);
        AddUserItems(menu, custom);
    }
}

void TUserMenus::UserMenuExecute(QAction* item) {
    const int tag = item->property("tag").toInt();
    const std::string parent = item->property("parentMenu").toString().toStdString();
    const std::optional<std::string> toolLine = UserMenuToolLine(state_.Settings(), parent, tag);
    if (toolLine && RunTool) RunTool(item->text().toStdString(), *toolLine);
}

void TUserMenus::OpenLink(const std::string& caption) {
    if (const std::optional<std::string> toolLine = FindLink(state_.Settings(), caption); toolLine && RunTool)
        RunTool(caption, *toolLine);
}

void TUserMenus::BuildScriptMenu() {
    QMenu* menu = main_.TopMenu("ScriptMainMenu");
    if (!menu) return;
    RemoveMarked(menu, kScriptItem);
    std::vector<std::string> designed;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator()) designed.push_back(StripAccelerators(action->text().toStdString()));
    const std::string folder = NativePath(ExpandMacros(state_, "%scripts%"));
    const TScriptMenuModel model =
        ReadScriptMenu(folder, EmbeddedScripts ? EmbeddedScripts() : std::vector<std::string>{}, designed);

    // The name travels in data(): the caption shows "&" doubled and is never read back.
    auto addItem = [this](QMenu* into, const TScriptMenuItem& item, int tag) {
        QAction* action = into->addAction(Literal(item.caption));
        action->setProperty(kScriptItem, true);
        action->setProperty("tag", tag);
        action->setData(ToQ(item.name));
        connect(action, &QAction::triggered, this, [this, action, tag] {
            main_.Dispatcher().ExecuteMenuCommand(tag, action->data().toString().toStdString());
        });
    };
    auto addSeparator = [menu] { menu->addSeparator()->setProperty(kScriptItem, true); };
    if (!model.scripts.empty() || !model.folders.empty()) addSeparator();
    for (const TScriptMenuItem& item : model.scripts) addItem(menu, item, 1610);
    if (!model.scripts.empty() && !model.folders.empty()) addSeparator();
    for (const TScriptSubMenu& folder : model.folders) {
        QMenu* sub = menu->addMenu(Literal(folder.caption));
        sub->menuAction()->setProperty(kScriptItem, true);
        for (const TScriptMenuItem& item : folder.items) addItem(sub, item, 1612);
    }

    if (QMenu* embedded = menu->findChild<QMenu*>("mRunEmbedded", Qt::FindDirectChildrenOnly)) {
        for (QAction* action : embedded->actions()) action->setProperty(kScriptItem, true);
        RemoveMarked(embedded, kScriptItem);
        for (const TScriptMenuItem& item : model.embedded) addItem(embedded, item, 1611);
        embedded->menuAction()->setVisible(!model.embedded.empty());
    }
}

TUserMenus& ConnectUserMenus(TMain& main, TProgramState& state) { return *new TUserMenus(main, state); }

}  // namespace kelvarn
