// The runner of the simulator's command-line utility "TrainzUtil.exe": status and details of an asset,
// opening it for editing, commit and revert, a category search, a count of texture-group assets and
// the generation of KUIDs from the user's ranges.
//
// A request is queued with a job number and run a moment later (StartTimer; the Qt side fires
// TimerFire after 50 ms), so the caller's event returns first. The utility is started with an argument
// list (a word and its argument, or "@" and the command file), never through a shell, with a time
// limit; while it runs the window paints but takes no input, and a further request is refused.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TProgramState;

// The jobs.
enum TTzuJob : int {
    tjNothing = 0,
    tjOpenForEditing = 1,
    tjCommit = 2,
    tjRevert = 3,
    tjTextureGroups = 4,
    tjAssetDetails = 5,
    tjCategorySearch = 6,
    tjGenerateKuids = 7,
};

inline constexpr int kUtilityTimeLimitSeconds = 300;
inline constexpr int kUtilityTimerMs = 50;

// One output line of the utility: only a line beginning with "+" is an item. " : " separates the
// fields and "/" becomes "\". Field 1 is the item's KUID, field 2 its status letters (or, for some
// words, a folder or a KUID), field 3 its category and field 4 its user name.
struct TUtilityItem {
    std::vector<std::string> fields;
    // The field by its 1-based number; empty when absent.
    std::string Field(std::size_t number) const;
};
std::optional<TUtilityItem> ParseOutputLine(std::string_view line);

// A status letter: upper case yes, lower case no, missing neither.
enum class TLetter { Absent, Yes, No };
TLetter StatusLetter(std::string_view letters, char upper);

// A KUID text, any case: "<kuid:user:number>" or "<kuid2:user:number:version>" with a signed 32-bit user,
// a number from 0 and a version from 0 to kNewestKuidVersion. Version -1 for the plain form.
struct TKuidParts {
    std::int32_t user = 0;
    std::int32_t number = 0;
    int version = -1;
};
std::optional<TKuidParts> ParseKuid(std::string_view text);
// ParseKuid(text).has_value(), told for the usual form without reading its numbers: list edits check
// every row of a table of thousands.
bool IsKuidText(std::string_view text);
// The usual form with numbers short enough to fit whatever they are: "<kuid:U:N>" or "<kuid2:U:N:V>",
// "kuid" in any case, one to nine digits to U and N, one to three to V, no sign, nothing around it.
// True only where ParseKuid reads the text; false says nothing.
bool IsUsualKuidText(std::string_view text);

// Do two KUIDs name the same asset (user and number equal as numbers, versions aside)? False when
// either is no KUID.
bool CompareKuids(std::string_view a, std::string_view b);

// The command file of a status lookup: the plain KUID, then every version from 1 to the newest.
std::vector<std::string> StatusLookupLines(const TKuidParts& kuid);

// The installed item of a lookup's output: searched from the last line, the first item whose letters
// hold "I" and whose KUID is `kuid`'s. Null when none.
std::optional<TUtilityItem> FindInstalled(const std::vector<std::string>& output, std::string_view kuid);

// The lines of "Asset Details" for an installed item.
std::vector<std::string> AssetDetailsLines(const TUtilityItem& item);

// The command file of job 7 from the "KUID-Range" values ("name=value" lines), or the message that
// stops it.
struct TKuidRangeBatch {
    std::vector<std::string> lines;
    std::string error;
};
TKuidRangeBatch KuidRangeBatch(const std::vector<std::string>& ranges);

// Job 7's result from the utility's output: "OK" and empty lines dropped, the rest joined, each
// generated KUID made a tab and its text (version 0 in the plain form), one line per KUID.
std::vector<std::string> GeneratedKuidLines(const std::vector<std::string>& output);

// Job 4's count: lines of printed configs that begin with "kind" and hold "texture-group".
int CountTextureGroups(const std::vector<std::string>& output);

class TUtilityRunner {
public:
    explicit TUtilityRunner(TProgramState& state);

    // Queues a job with its argument (a KUID for 1, 2, 3 and 5, the search for 6). A job of 8 or above
    // shows "Error in TZU"; a request while the utility runs is refused with a beep.
    void TzuRequest(int job, std::string_view argument);
    // Runs the queued job (the timer's event).
    void TimerFire();

    bool Running() const { return running_; }
    int PendingJob() const { return pending_; }
    // The search string offered next (job 6's last, or the category job 5 found).
    const std::string& SearchString() const { return search_; }

    // The utility program (found ignoring case) and the command file.
    std::string UtilityProgram() const;
    std::string BatchFile() const;

    int TimeLimitSeconds = kUtilityTimeLimitSeconds;

    // The program's side: start the 50 ms timer; show or restore the busy cursor; job 1's scan of the
    // asset's folder into the asset list, true when its item was selected.
    std::function<void()> StartTimer;
    std::function<void(bool busy)> SetBusyCursor;
    std::function<bool(const std::string& folder)> OpenAssetFolder;

private:
    void RunJob(int job);
    void OpenForEditing();
    void SingleCommand(const char* word);
    void TextureGroups();
    void AssetDetails();
    void CategorySearch();
    void GenerateKuids();
    // The installed item of the stored KUID, or null after saying why.
    std::optional<TUtilityItem> StatusLookup(bool reportNoItems);
    bool RunWord(std::string_view word, std::string_view argument, std::vector<std::string>& output);
    bool RunBatch(const std::vector<std::string>& lines, std::vector<std::string>& output);
    bool Run(const std::vector<std::string>& arguments, std::string_view shown, std::vector<std::string>& output);
    void Alert(const std::string& text);

    TProgramState& state_;
    int pending_ = 0;
    bool running_ = false;
    std::string kuid_;
    std::string text_;
    std::string search_;
};

}  // namespace kelvarn
