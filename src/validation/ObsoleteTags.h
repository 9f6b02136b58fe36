// Delete Obsolete Tags: the legacy tags tags.xml lists (asked about one by one, kept during a batch)
// and every tag the tag definitions do not allow at the active build.
#pragma once

#include <string>

namespace kelvarn {

class ScriptHost;
class TOutlineDocument;
class TProgramState;

// Works on `config`; the caller has taken its undo point. `batch`: nothing is asked, the legacy tags
// stay and the message lists them. Without a readable "%bin%\tags.xml" nothing is deleted and the
// file's error is the message.
std::string DeleteObsoleteTags(TProgramState& state, ScriptHost& host, TOutlineDocument& config, bool batch);

}  // namespace kelvarn
