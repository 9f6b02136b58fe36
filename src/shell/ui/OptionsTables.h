// The tables the settings dialog's pages and its handlers share: the open-with builds of the
// desktop group, the colour samples and the user data fields.
#pragma once

#include <array>
#include <utility>

#include "shell/SettingsKeys.h"

namespace kelvarn {

struct TOpenWithBuild {
    const char* name;     // as the folder dialog names it
    const char* caption;  // the button's build part
    const char* macro;
    SettingKey key;
    const char* warnings;
};
inline const std::array<TOpenWithBuild, 3> kOpenWithBuilds = {{
    {"TS2009", "TS200&9", "%2009%", keys::TS2009, "Suppress Warning Icons (TS2009)"},
    {"TS2010", "TS201&0", "%2010%", keys::TS2010, "Suppress Warning Icons (TS2010)"},
    {"TS12", "TS1&2", "%TS12%", keys::TS12, "Suppress Warning Icons (TS12)"},
}};

struct TColourSample {
    const char* name;
    const char* caption;
    const char* key;
};
inline const std::array<TColourSample, 8> kColourSamples = {{
    {"eNormal", "Normal", "Normal"},
    {"eTagged", "Tagged", "Tagged"},
    {"eSelected", "Selected", "Selected"},
    {"eComment", "Comment", "Comment"},
    {"eModified", "Modified", "Modified"},
    {"eAlert", "Alert", "Alert"},
    {"eAttach", "Attachment", "Point"},
    {"eSelAttach", "Selected Attachment", "SelectedPoint"},
}};

inline const std::array<std::pair<const char*, SettingKey>, 5> kUserFields = {{
    {"EditAuthor", keys::Author},
    {"EditEmail", keys::ContactEmail},
    {"EditWebsite", keys::ContactWebsite},
    {"EditOrganisation", keys::Organisation},
    {"EditInfoURL", keys::InfoUrl},
}};

}  // namespace kelvarn
