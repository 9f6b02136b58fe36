// The tag editor's pages apart from their widgets: which page a tag type opens at which size and
// character class, the rules each page applies to its text (KUID completion, memo line breaks, the
// cleaning of enum, file and point entries, set values, number texts and steps), the option lists
// of enum and set pages, and OK, which turns the page fields into the edited tag's record and the
// rows of a list tag. The Qt pages show these fields and call these functions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/TagSpec.h"
#include "shell/Controls.h"

namespace kelvarn {

class GridModel;
class TProgramState;

// Tag type positions (TagTypeIndex): 0 unknown, 1 container, 2-9 list types, 10 thumbnail-list, ...
enum TTagType : int {
    ttUnknown = 0, ttContainer = 1, ttKuidList = 2, ttCameraList = 9, ttThumbnailList = 10, ttIdentifier = 11,
    ttUserTable = 12, ttUserTag = 13, ttMemo = 14, ttString = 15, ttKuid = 16, ttBool = 17, ttFile = 18,
    ttPoint = 19, ttEnum = 20, ttSet = 21, ttInt = 22, ttFloat = 23, ttFloatList = 24, ttRgb = 25, ttRgba = 26,
    ttHls = 27, ttInvalid = 28
};
inline bool IsListType(int type) { return type >= ttKuidList && type <= ttCameraList; }
inline bool IsColourType(int type) { return type >= ttRgb && type <= ttHls; }

// The tag's type from its definition's format.
int TagTypeOf(const TTagSpec& spec);

// The page a tag type opens.
enum class TEditorPage { Message, List, UserTable, UserTag, Memo, String, Bool, Enum, Set, Number, NumberList };

// Number lists show at most this many spin elements; a longer list is edited as text.
inline constexpr int kMaxNumberElements = 6;

struct TPagePlan {
    TEditorPage page = TEditorPage::Message;
    int size = 600155;              // width × 1000 + height
    TCharType charClass = ctStandard;  // of the page's one-line field
    std::string message;            // the message page's text
    bool translation = false;       // the page shows the translation fields
    int elements = 1;               // spin elements of the number-list page
};

// The page of a tag from its definition. `language` is the Language setting: without one a
// translatable tag shows no translation fields.
TPagePlan ChoosePage(const TTagSpec& spec, std::string_view language);

// The name a translatable tag's translation goes by: the tag's name, "-" and the language
// ("username-de"). An entry of a string-table is translated under its own name in the sibling
// container "string-table-" + language, which the simulator reads: "string-table-de\AddLabelText".
// `path` is the tag's config path.
std::string CompanionLabel(std::string_view path, std::string_view name, std::string_view language);
// Is the tag at this config path an entry of a string-table?
bool IsStringTableEntry(std::string_view path);

// --- value rules

// A bare whole number in the KUID field becomes "<kuid:" + userId + ":" + number + ">" when the
// user's id is the current asset's KUID user part; any other text is returned as it is.
std::string CompleteKuid(std::string_view text, std::string_view userId, std::string_view currentKuidUser);

// Memo text: a value's "¶" as line breaks, and line breaks (CR LF, LF or CR) back as "¶".
std::string MemoToText(std::string_view value);
std::string TextToMemo(std::string_view text);

// An entry chosen from an enum, file or point list, made into a value.
std::string CleanEnumEntry(std::string_view entry);                  // before "=", else before a blank
std::string CleanFileEntry(std::string_view entry, bool keepExtension);  // ".lm.txt" as ".lm"; extension off
std::string CleanPointEntry(std::string_view entry);                 // last part at "/" and ":", "cull" skipped
std::string CleanEntry(int type, std::string_view entry, bool keepExtension);

// The set value the checked items make: each item cut before its first blank, joined by ";"; with the
// first item checked, a category-region tag is "00".
std::string SetValueFromChecks(const std::vector<std::string>& items, const std::vector<bool>& checked,
                               std::string_view tagName);
// The items of a set value that are checked in the list (compared ignoring case).
std::vector<bool> ChecksFromSetValue(const std::vector<std::string>& items, std::string_view value);
// A set value split at ";", sorted ignoring case, each item once, empty items dropped, joined by ";".
std::string NormaliseSetValue(std::string_view value);
// OK on the set page: the normalised value; with `saveToIni` and an "@" source, the settings
// section named by the source after its "@" gets the union of its keys, the value's items and the list's,
// and the settings file is written. Returns the value; `error` gets a failed write.
std::string SaveSetToIni(TProgramState& state, std::string_view source, std::string_view value,
                         const std::vector<std::string>& items, bool saveToIni, std::string& error);

// Bool field keys: "0" and "1" set that digit, Space toggles; other keys leave the value.
std::string BoolFieldKey(std::string_view value, char32_t key);

// --- numbers

// How a number page sets up its spin fields. Without min and max (or with them equal) there is no
// limit.
struct TNumberSetup {
    bool isInt = false;
    bool limited = false;
    double min = 0, max = 0;
    double step = 1;
    int decimals = 2;            // float fields; 0 for int
    std::string start;           // the field's starting text (the value, else the definition's default)
    std::vector<std::string> elements;  // the number-list page: one starting text per element
    std::string stepLabel;       // "±" and the step ("units ±step" on the single-number page)
};
TNumberSetup NumberSetup(const TTagSpec& spec, std::string_view value, bool list);
// A number as a field shows it: a whole number for int, else fixed with `decimals` places.
std::string FormatNumber(double value, bool isInt, int decimals);
// The number list's value: the elements joined by ","; int elements as typed, float ones fixed
// with precision 7 and `decimals` places.
std::string NumberListText(const std::vector<std::string>& elements, bool isInt, int decimals);
// The number list's value after the page: an element the user left alone keeps its starting text
// as written, a changed one is formatted as NumberListText formats it.
std::string EditedNumberList(const std::vector<std::string>& starting, const std::vector<std::string>& current,
                             const std::vector<bool>& changed, bool isInt, int decimals);
// A click on the step label: left multiplies by 10, right divides by 10, then the step is kept
// between 1 (int) or 0.001 (float) and 1000.
double StepAfterClick(double step, bool leftClick, bool isInt);
std::string StepText(double step);

// --- lists

// The rows of a list tag from the table page's grid: per data row the cells from the first data
// column to the last non-empty one, each in double quotes (inner empty cells as ""), joined by ",";
// rows with no non-empty cell are dropped.
std::vector<std::string> GridToCsv(const GridModel& grid);

// The sources of enum and set lists that are not files or settings: "+" (callback 228: the
// outline's list of the rest) and "." (the list the caller prepared).
struct TFillSources {
    std::function<void(const std::string& rest, std::vector<std::string>& list)> ConfigList;
    std::vector<std::string> Prepared;
};
// Fills the list from a definition's source (an empty source counts as "?"): "$" tags.xml element
// ("$kind" the asset kinds), "%" file with the older simulator folders as fallbacks, "+" config list,
// "." prepared list, "?" the asset's files matching the mask (file tags), "@" settings section keys.
// Returns the message for an unknown source ("Editor.Fillcombo: unknown source: "), else empty.
std::string Fillcombo(const TProgramState& state, const TTagSpec& spec, std::string_view assetFolder,
                      const TFillSources& sources, std::vector<std::string>& list);
// The set page's list, from the same sources, sorted ignoring case.
std::string FillSetList(const TProgramState& state, const TTagSpec& spec, std::string_view assetFolder,
                        const TFillSources& sources, std::vector<std::string>& list);

// --- OK

// What the pages hold when OK is pressed. The page that is shown fills its own fields.
struct TPageFields {
    std::string IDCombo;            // section A's tag-name choice
    std::string TagValue;           // section B's tag-name field
    std::string StringValue;        // one-line value
    std::string TranslateValue;
    std::string BigStringValue;     // multi-line value, line breaks as typed
    std::string BigTranslateValue;
    std::string EnumCombo;
    std::string SetValue;
    bool SetChanged = false;        // the user checked items or typed in the set's value
    std::string NumberValue;
    bool NumberChanged = false;     // the user changed or typed in the number field
    std::string NListValue;         // the number list's elements joined (NumberListText)
    bool NListChanged = false;
    bool GridModified = false;
    const GridModel* Grid = nullptr;  // the table page's grid
};

// OK: stores the edited name, value and translation into the record (its Path, Format and the other
// definition fields stay) and, for list types, rebuilds the CSV list from the grid (empty when the
// grid is unchanged). An untouched number field or set keeps the record's value as it was. `userId` and
// `currentKuidUser` complete a bare number in a KUID field; `language` names the translation.
void bOKClick(TTagSpec& record, const TPageFields& fields, std::string_view language, std::string_view userId,
              std::string_view currentKuidUser, std::vector<std::string>& csvList);

}  // namespace kelvarn
