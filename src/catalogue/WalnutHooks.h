// The outline's seams that the tag definitions fill: every tag edit takes its value kind from
// FindSpecNode, and every load (and Delete Tagged) loads the definition of the asset's kind.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/OutlineHooks.h"

namespace kelvarn {

class TWalnut;

class TWalnutHooks : public IOutlineHooks {
public:
    explicit TWalnutHooks(TWalnut& walnut) : walnut_(walnut) {}

    TTagSpec FindSpecNode(std::string_view path, bool& found) override;
    // Loads the definition of AnalyseKind's kind from "%bin%\tags.xml" (the kind chain goes into
    // the program state for the validators).
    void AnalyseKindAndLoadSpec(TOutlineDocument& document) override;
    std::string KindChain() const override;
    // The kind whose definition a document needs: here the lower-cased value of its top-level
    // kind tag. The outline's kind analysis overrides it.
    virtual std::string AnalyseKind(TOutlineDocument& document);

    TWalnut& Walnut() const { return walnut_; }

private:
    TWalnut& walnut_;
};

}  // namespace kelvarn
