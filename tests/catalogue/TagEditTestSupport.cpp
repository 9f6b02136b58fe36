#include "TagEditTestSupport.h"

namespace kelvarn::test {

TTagSpec FormatSpec(std::string format, std::string captions) {
    TTagSpec spec;
    spec.Format = std::move(format);
    spec.Captions = std::move(captions);
    return spec;
}

TTagSpec FakeSpecHooks::FindSpecNode(std::string_view path, bool& found) {
    const auto it = specs.find(std::string(path));
    found = it != specs.end();
    return found ? it->second : DefaultTagSpec();
}

bool FakeEditorHost::EditRecord(TTagSpec& record, std::vector<std::string>& csvList, bool& gridModified) {
    shown.push_back(record);
    tables.push_back(csvList);
    gridModified = false;
    return edit ? edit(record, csvList, gridModified) : false;
}

std::optional<std::string> FakeEditorHost::EditColour(const std::string& format, const std::string& caption,
                                                      const std::string& value) {
    colourCalls.push_back(format + "|" + caption + "|" + value);
    return colour;
}

}  // namespace kelvarn::test
