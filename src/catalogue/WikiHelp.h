// Help links: a tag definition's `help` attribute ("text@page#anchor") turned into a web address of
// the tag wiki, and a tag's own value opened as a link ("wiki://" standing for the wiki's base). Page
// names may be "$" macros that section Wiki of the settings defines. Only an absolute http or https
// address ever reaches the desktop's opener.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/TagSpec.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;
class TProgramState;

// The text part of a help attribute, as the status lines show it: what stands before its page ("@")
// and anchor ("#").
std::string HelpDescription(std::string_view help);

// Does the definition of the node's path exist and hold a page in its help ("@")?
bool HasHelpLink(const TOutlineDocument& document, const TOutlineNode* node);

// Opens the help page of the tag at `path` (the value being edited, or empty for the tag's own), or
// shows the address when Wiki/debug is set; a faulty help text or page is reported in a message.
void ExpandWikiMacro(TProgramState& state, const TOutlineDocument& document, std::string_view path,
                     std::string_view value);

// The page for a help text whose page key is "?": the special cases by tag name, definition format
// and sequence. A page read from a key is empty when the key is missing; some cases answer a fixed
// text, and some show a message first.
std::string TagHelpMacro(TProgramState& state, const TOutlineDocument& document, std::string_view path,
                         std::string_view value, const TTagSpec& spec);

// "#" + the anchor with "$^^^", "$^^", "$^" (the names of the node's ancestors) and "$" (the path's
// last element) put in; empty for an empty anchor.
std::string ExpandWikiAnchor(const TOutlineDocument& document, std::string_view path, std::string_view anchor);

// Opens the value of the tag at `path` as a link; "wiki://page" becomes the wiki's base, "/", page.
void WikiLinkUrl(TProgramState& state, const TOutlineDocument& document, std::string_view path);

// Opens a wiki page by its name (the descriptor and LOD editors' help): the wiki's base, "/", the
// page; shown instead when Wiki/debug is set.
void OpenWikiPage(TProgramState& state, std::string_view page);

// The address as it may be opened: "www." gets "http://" in front; anything but an absolute http or
// https address (a scheme, "://", a host, no control characters) gives empty.
std::string CheckedWebAddress(std::string_view address);
// Opens a checked address with the desktop's default program; a refused one gives "Link empty or
// invalid: " and the address, and nothing is opened. True when it was handed on.
bool OpenWebAddress(TProgramState& state, std::string_view address);

}  // namespace kelvarn
