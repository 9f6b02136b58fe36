// Fakes for the tag editing tests: definitions by config path, and an editor host with canned answers.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "catalogue/TagEditing.h"
#include "ConfigTestSupport.h"

namespace kelvarn::test {

TTagSpec FormatSpec(std::string format, std::string captions = {});

// Definitions by config path (without a trailing "\"); every other path has none.
class FakeSpecHooks : public IOutlineHooks {
public:
    std::map<std::string, TTagSpec> specs;
    int analyses = 0;
    TTagSpec FindSpecNode(std::string_view path, bool& found) override;
    void AnalyseKindAndLoadSpec(TOutlineDocument&) override { ++analyses; }
};

// The editor as a script: each EditRecord call records the record it got and answers with `edit`.
class FakeEditorHost : public ITagEditorHost {
public:
    std::vector<TTagSpec> shown;              // the records the pages were opened with
    std::vector<std::vector<std::string>> tables;  // the CSV lists the table page got
    // Changes the record and rows as the user would; returns OK, sets the grid's modified flag.
    std::function<bool(TTagSpec&, std::vector<std::string>&, bool&)> edit;
    std::optional<std::string> colour;
    std::vector<std::string> colourCalls;     // format|caption|value
    std::vector<std::string> builds;

    bool EditRecord(TTagSpec& record, std::vector<std::string>& csvList, bool& gridModified) override;
    std::optional<std::string> EditColour(const std::string& format, const std::string& caption,
                                          const std::string& value) override;
    void RefreshTrainzBuild(const std::string& reason) override { builds.push_back(reason); }
};

// A document on a bed, with the fake definitions as its hooks.
struct TagEditBed : ConfigTestBed {
    FakeSpecHooks hooks;
    TOutlineDocument doc{state};
    TagEditBed() { doc.SetHooks(&hooks); }
    void Load(std::string_view text) { LoadText(*this, doc, text); }
    TOutlineNode* Node(std::string_view path) const { return doc.FindNodeByPath(path); }
};

}  // namespace kelvarn::test
