// The Diagnostics menu's tag validations of the current asset: "Validate Tags" (1701), the hidden
// "Tag Syntax" items (1707, 1708), "Verify Attachments" (1709) and "Verify All" (1716). Each runs the
// one check with its set of tag formats, with the outline frame's gauge.
#pragma once

#include "validation/TagValidation.h"
#include "validation/ui/FileCheckRows.h"

namespace kelvarn {

class TDispatcher;
class TWalnut;

// The format set each row checks, or none for a number that is no validation row.
TFormatSet ValidationFormats(int number);

void RegisterValidationRows(TDispatcher& dispatcher, const TWalnut& walnut, TAssetCheckRunner runner);

}  // namespace kelvarn
