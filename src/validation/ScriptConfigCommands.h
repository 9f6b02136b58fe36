// The script commands that edit the context config's tags (-update, -delete, -rename, -exchange,
// -replace, -replaceall, -ignorecase, -promote, -comment, -tagfordeletion, -clear, -category, and
// -expand, -sort, -saveconfig, -incrementkuid), and the memory and attachment-point commands
// (ScriptMemoryCommands.cpp) that share -update's way of writing a value.
#pragma once

#include <string>

#include "validation/ScriptCall.h"

namespace kelvarn {

// -update's step after the value is built: sets the tag (or with wildcards every matching tag, or
// creates it in every matching container). Returns the command's message.
std::string ScriptUpdateValue(ScriptCall& c, const std::string& address, const std::string& value);

// The value of -update and -restore: `first`, then each further parameter from `from` on with a "|"
// before it, up to the first empty one. A literal line's fields are all taken.
std::string JoinValueFields(const ScriptCall& c, std::string first, int from);

bool HasWildcard(const std::string& text);

}  // namespace kelvarn
