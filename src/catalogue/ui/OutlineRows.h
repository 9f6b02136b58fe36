// The outline's rows of the main window's dispatcher: the commands its buttons and menu items send,
// the main menu's outline commands, and the callbacks that act on the outline, with the menu state
// of group 2300.
#pragma once

namespace kelvarn {

class IAssetPages;
class TDispatcher;
class TMain;
class TOutlineView;
class TXMLView;

// The rows that need only the outline frame: 2300-2361 (those of later parts call the frame's
// hooks), 1009, 1101, the folder checks 1704, 1705 and 1713, callback 248 and the state of group 2300.
void RegisterOutlineCommands(TDispatcher& dispatcher, TOutlineView& outline);

// The rest, which need the main window: callback 206, the Ctrl+S hook, the frame's hooks into the
// window (the trainz-build refresh), the helpers run on this outline (1703, 1715, 2115-2117, callback
// 227) and its help links (2327, 2328 and whether a node has one).
void RegisterOutlineMainRows(TMain& main, TOutlineView& outline);

// New Asset (1113) and Clone (1112, 2103) on the outline with the editor's pages, and callback 242,
// which gives the listed clone its identity.
void RegisterAssetPageRows(TDispatcher& dispatcher, TOutlineView& outline, IAssetPages& pages);

// The tag catalogue's rows: callbacks 223 and 249, the main menu's "Tag List" (1102) and its "Help on
// Tag", answered by the main window's outline.
void RegisterCatalogueRows(TMain& main, TXMLView& catalogue, TOutlineView& outline);

}  // namespace kelvarn
