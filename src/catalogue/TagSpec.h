// The definition of one tag as tags.xml describes it, and the record every tag edit travels in:
// the caller fills Path, Name and Value, the tag definitions fill the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvarn {

// How a value is written: bare, in double quotes, or decided from the value itself.
enum TValueKind : std::int32_t { vkBare = 0, vkQuoted = 1, vkAuto = 2 };

// Field widths of the record, in characters. Texts longer than their field are cut when the record is filled
// (CutField); Path is never cut, since a cut path names another node.
inline constexpr std::size_t kSpecTextField = 255;
inline constexpr std::size_t kSpecShortField = 8;

struct TTagSpec {
    std::string Path;   // ConfigPath of the tag being edited; a trailing "\" denotes a container
    std::string Name;   // tag name, at most kSpecTextField
    std::string Value;  // the value being edited
    std::string CompanionName;   // a translated companion tag's name (tag editor)
    std::string CompanionValue;  // that companion tag's value
    std::string FurtherText;     // not set by the tag edits
    bool TagEdit = false;        // attribute tagedit is "1"
    std::string Format = "string";
    std::string Display, Source, Mask, Help;
    std::string Default;
    std::string Location, Captions, Units, Context;
    bool Ext = false, UserData = false, Required = false, Translate = false;
    std::string Sequence = "0";
    std::string Min, Max, Step, Precision;
    std::int32_t ValueKind = vkQuoted;
    std::int32_t Elements = 1;
    std::string Introduced, Obsolete, Mandatory;  // builds, e.g. "2.5"
};

// The KUID a new kuid tag starts with, standing for "none yet": what the tag definitions give every
// kuid tag as its default.
inline constexpr std::string_view kNullKuid = "<nullkuid>";

// The record of a path that has no definition: format "string", values quoted.
inline TTagSpec DefaultTagSpec() { return TTagSpec{}; }

// A text cut to a field width in characters (not bytes: UTF-8 characters stay whole).
inline std::string CutField(std::string_view text, std::size_t width) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
        if (chars++ == width) return std::string(text.substr(0, i));
    }
    return std::string(text);
}

}  // namespace kelvarn
