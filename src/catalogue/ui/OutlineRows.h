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
// hooks), 1009, 1101, callback 248 and the state of group 2300.
void RegisterOutlineCommands(TDispatcher& dispatcher, TOutlineView& outline);

// The rest, which need the main window: callback 206, the Ctrl+S hook, and the frame's hooks into
// the window (the trainz-build refresh).
void RegisterOutlineMainRows(TMain& main, TOutlineView& outline);

// New Asset (1113) and Clone (1112, 2103) on the outline with the editor's pages, and callback 242,
// which gives the listed clone its identity.
void RegisterAssetPageRows(TDispatcher& dispatcher, TOutlineView& outline, IAssetPages& pages);

// The tag catalogue's rows: callbacks 223 and 249 and the main menu's "Tag List" (1102).
void RegisterCatalogueRows(TMain& main, TXMLView& catalogue, TOutlineView& outline);

}  // namespace kelvarn
