// TXMLView: the tag catalogue pane of the viewer panel. It shows every tag tags.xml defines for the
// asset's kind as a tree, shows a tag's help in the status bar, and adds a tag to the main outline.
#pragma once

#include <functional>
#include <string>

#include "catalogue/TagCatalogue.h"
#include "shell/ui/FramePanel.h"

class QAction;
class QMenu;
class QTreeView;

namespace kelvarn {

class CatalogueItemModel;
class TOutlineView;
class TProgramState;

class TXMLView final : public TViewerFrame<IViewerFrame> {
public:
    // `outline` is the main window's: Add to Config writes into it.
    TXMLView(TProgramState& state, TOutlineView& outline, QWidget* parent = nullptr);
    ~TXMLView() override;

    // InitXMLView, ClearXMLView, and the close query, which empties the view.
    void Init(ICommandBus* target) override;
    void Clear() override { ClearXMLView(); }
    bool CloseQuery() override;
    QWidget* MainControl() override;

    // Shows the tags of a kind (the outline analyses it first) and brings the pane to the front; a
    // missing or bad tags.xml is said in the pane's alert strip.
    void ShowAvailableTags(const std::string& kind);
    void ClearXMLView();

    TTagCatalogue& Catalogue() { return catalogue_; }
    QTreeView* Tree() const { return tree_; }
    QMenu* ContextMenu() const { return menu_; }
    QAction* Action(const QString& name) const;
    const TCatalogueNode* Selected() const;
    void Select(const TCatalogueNode* node);
    // Opens the menu for the node at a point of the tree's viewport (never for the top node).
    void PopupContextMenu(const QPoint& pos);

    // The three items: Help on Tag (1), Add to Config (2), Copy Tree to Clipboard (3).
    void MenuAction(int tag);

    // The outline's help-link action for a config path (it comes with the help links).
    std::function<void(const std::string& path)> HelpLink;
    // The one-line input that names an entry Add to Config makes of a pattern.
    TAskTagName AskTagName;

private:
    void SelectionChanged();

    TProgramState& state_;
    TOutlineView& outline_;
    TTagCatalogue catalogue_;
    CatalogueItemModel* model_;
    QTreeView* tree_;
    QMenu* menu_;
};

}  // namespace kelvarn
