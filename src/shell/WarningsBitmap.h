// The content manager's status icon: our "WARNINGS" bitmap stands in for the simulator's warnings.bmp
// while switched on, and the simulator's own comes back when switched off.
#pragma once

#include <string>
#include <string_view>

namespace kelvarn {

// The bitmap we ship.
std::string_view WarningsBitmapBytes();

// In "<build folder>\bin\CMPData\status": "on" keeps the simulator's warnings.bmp as irritant.bmp
// (never overwriting an existing irritant.bmp) and writes ours as warnings.bmp; "off" deletes
// warnings.bmp only when irritant.bmp exists and renames that back. Nothing happens for an empty
// folder. Returns an empty text on success, else the reason.
std::string ReplaceWarningsBitmap(std::string_view buildFolder, bool on);

}  // namespace kelvarn
