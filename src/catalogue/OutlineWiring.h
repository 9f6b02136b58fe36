// The tag definitions and the outline commands' hooks of one outline document, set up in one place
// for every outline that scripts edit: the main window's, and the editor's that a batch loads each
// tagged asset into. Both then write values by the tag definitions of their asset's kind, reorder by
// SortOrder.txt and answer "(inherits)" for their own asset.
#pragma once

#include "catalogue/OutlineCommands.h"
#include "catalogue/Walnut.h"

namespace kelvarn {

class TOutlineDocument;
class TProgramState;

class TOutlineWiring {
public:
    // `shown`: the main window's outline, whose kind goes to the status bar and whose kind chain
    // and kind list to the program state.
    TOutlineWiring(TProgramState& state, TOutlineDocument& document, bool shown);
    ~TOutlineWiring();
    TOutlineWiring(const TOutlineWiring&) = delete;
    TOutlineWiring& operator=(const TOutlineWiring&) = delete;

    TWalnut& Walnut() { return walnut_; }
    TOutlineCommandHooks& Hooks() { return hooks_; }

private:
    TOutlineDocument& document_;
    TWalnut walnut_;
    TOutlineCommandHooks hooks_;
};

}  // namespace kelvarn
