#include "catalogue/TagsXml.h"

#include <pugixml.hpp>

#include <algorithm>

#include "catalogue/SharedFiles.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr long long kMaxSequence = 999999999;
constexpr std::size_t kSharedFiles = 4;  // parsed files kept at once (the program reads one)

std::string Fault(std::string_view fileName, std::size_t line, std::string_view fault) {
    std::string text = "Tag specification " + std::string(fileName);
    if (line > 0) text += ", line " + std::to_string(line);
    return text + ": " + std::string(fault);
}

std::size_t LineAt(std::string_view text, std::ptrdiff_t offset) {
    if (offset < 0) return 0;
    const std::size_t end = std::min(static_cast<std::size_t>(offset), text.size());
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

// The leading digits of a text, capped; 0 when it starts with none.
long long LeadingNumber(std::string_view text) {
    long long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        n = std::min(n * 10 + (c - '0'), kMaxSequence);
    }
    return n;
}

void Derive(TXmlElement& e) {
    e.DisplayName = SpecDisplayName(e.Name);
    e.MatchName = e.Attributes.empty() ? e.DisplayName : LowerCase(e.DisplayName);
    e.NumberAt = e.MatchName.find('#');
    e.Sequence = LeadingNumber(e.Attribute("sequence"));
    e.Introduced = ParseBuild(e.Attribute("introduced"));
    e.Obsolete = ParseBuild(e.Attribute("obsolete"));
    e.Mandatory = ParseBuild(e.Attribute("mandatory"));
    e.Required = e.Attribute("required") == "1";
}

}  // namespace

std::string SpecDisplayName(std::string_view elementName) {
    if (EndsWith(elementName, "-id") && elementName != "product-id") return "*";
    return ReplaceAll(elementName, "N", "#");
}

std::string_view TXmlElement::Attribute(std::string_view name) const {
    for (const auto& [key, value] : Attributes)
        if (key == name) return value;
    return {};
}

bool TXmlElement::HasAttribute(std::string_view name) const {
    return std::any_of(Attributes.begin(), Attributes.end(), [&](const auto& a) { return a.first == name; });
}

bool TXmlElement::IsSubsection() const { return Children.empty() && ContainsStr(Name, "subsection"); }

std::shared_ptr<const TTagsXml> TTagsXml::Parse(std::string_view bytes, std::string_view fileName, std::string& error) {
    error.clear();
    if (bytes.size() > kMaxTagsXmlBytes) {
        error = Fault(fileName, 0,
                      "the file is too large (" + std::to_string(bytes.size()) + " bytes, at most " +
                          std::to_string(kMaxTagsXmlBytes) + ")");
        return nullptr;
    }
    // Our text rule: UTF-8 as it stands, anything else is Windows-1252.
    const std::string text = DecodeText(bytes).text;
    pugi::xml_document doc;
    const pugi::xml_parse_result result =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        error = Fault(fileName, LineAt(text, result.offset), result.description());
        return nullptr;
    }
    // A parse without a root element fails above.
    const pugi::xml_node top = doc.document_element();
    for (pugi::xml_node n = top.next_sibling(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element) {
            error = Fault(fileName, LineAt(text, n.offset_debug()), "a second root element <" + std::string(n.name()) + ">");
            return nullptr;
        }
    }

    std::shared_ptr<TTagsXml> file(new TTagsXml());
    file->fileName_ = fileName;
    struct Pending {
        pugi::xml_node node;
        TXmlElement* parent;
        std::size_t depth;
        bool inKind;
    };
    std::vector<Pending> stack{{top, nullptr, 1, false}};
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        if (file->elements_.size() >= kMaxTagsXmlElements) {
            error = Fault(fileName, LineAt(text, p.node.offset_debug()),
                          "more than " + std::to_string(kMaxTagsXmlElements) + " elements");
            return nullptr;
        }
        if (p.depth > kMaxTagsXmlDepth) {
            error = Fault(fileName, LineAt(text, p.node.offset_debug()),
                          "elements nested deeper than " + std::to_string(kMaxTagsXmlDepth) + " levels");
            return nullptr;
        }
        TXmlElement& e = file->elements_.emplace_back();
        e.Name = p.node.name();
        for (const pugi::xml_attribute a : p.node.attributes()) e.Attributes.emplace_back(a.name(), a.value());
        e.Parent = p.parent;
        if (p.parent) p.parent->Children.push_back(&e);
        Derive(e);

        const bool isKind = !file->kind_ && !p.inKind && e.Name == "KIND";
        if (isKind) file->kind_ = &e;
        // Children are pushed last first, so they come off the stack in file order.
        for (pugi::xml_node c = p.node.last_child(); c; c = c.previous_sibling())
            if (c.type() == pugi::node_element) stack.push_back({c, &e, p.depth + 1, p.inKind || isKind});
    }
    file->root_ = &file->elements_.front();

    // Blocks: in file order, so the first of a name wins.
    for (const TXmlElement& e : file->elements_) {
        if (e.Empty()) continue;
        bool inKind = false;
        for (const TXmlElement* a = e.Parent; a && !inKind; a = a->Parent) inKind = a == file->kind_;
        if (!inKind) file->blocks_.emplace(std::string_view(e.Name), &e);
    }
    if (file->kind_) {
        for (const TXmlElement* k : file->kind_->Children) file->kinds_.push_back(k->Name);
        std::sort(file->kinds_.begin(), file->kinds_.end());
        file->kinds_.erase(std::unique(file->kinds_.begin(), file->kinds_.end()), file->kinds_.end());
    }
    return file;
}

std::shared_ptr<const TTagsXml> TTagsXml::Load(std::string_view fileName, std::string& error) {
    static TSharedFiles<TTagsXml> files(kSharedFiles, kMaxTagsXmlBytes);
    return files.Get(fileName, error,
                     [&](const std::string& bytes, std::string& fault) { return Parse(bytes, fileName, fault); });
}

bool TTagsXml::IsAssetKind(std::string_view kind) const {
    return std::binary_search(kinds_.begin(), kinds_.end(), kind);
}

std::vector<std::string> TTagsXml::InheritChain(std::string_view kind) const {
    std::vector<std::string> chain{"USER-TAGS", "BASE-ASSET"};
    if (!kind_) return chain;
    for (const TXmlElement* k : kind_->Children) {
        if (k->Name != kind) continue;
        for (const std::string& piece : SplitString(k->Attribute("inherit"), ",")) {
            std::string name = Trim(piece);
            if (!name.empty()) chain.push_back(std::move(name));
        }
        break;
    }
    return chain;
}

const TXmlElement* TTagsXml::FindBlock(std::string_view name) const {
    const auto it = blocks_.find(name);
    return it == blocks_.end() ? nullptr : it->second;
}

bool TTagsXml::ListChildElements(std::string_view element, std::vector<std::string>& list) const {
    list.clear();
    const TXmlElement* block = FindBlock(element);
    if (!block) return false;
    std::vector<const TXmlElement*> stack(block->Children.rbegin(), block->Children.rend());
    while (!stack.empty()) {
        const TXmlElement* e = stack.back();
        stack.pop_back();
        list.push_back(e->Name);
        stack.insert(stack.end(), e->Children.rbegin(), e->Children.rend());
    }
    return !list.empty();
}

}  // namespace kelvarn
