// The memory, computation and attachment-point commands: -store, -restore, -save, -combine,
// -compute, -tokens, -iniread, -pointread, -pointposition, -pointrotation. The evaluators are
// exposed for the tests and the fuzz target.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "validation/ScriptCall.h"

namespace kelvarn {

// One "^" dropped, then exactly one digit; -1 when the text names no location.
int MemoryLocation(std::string_view text);

// The arithmetic of -compute over expanded operands: strictly left to right. Returns the message
// (empty on success) and the result formatted as "%1.4g". `expand` handles operands holding "^";
// it returns false when the command must end without a message.
std::string ComputeExpression(std::string_view expression, std::string& result,
                              const std::function<bool(std::string&)>& expand);

// One coordinate expression of -pointposition (upper-case X/Y/Z, position) or -pointrotation
// (lower-case x/y/z, rotation, turned into radians) over the point data "x,y,z,rx,ry,rz,name".
// Empty message on success with the formatted text in `result`.
std::string EvaluatePointExpression(std::string_view expression, std::string_view pointData, bool rotation,
                                    std::string& result);

// Cuts the text to `limit` bytes, never inside a UTF-8 sequence.
std::string CutUtf8(std::string_view text, std::size_t limit);

}  // namespace kelvarn
