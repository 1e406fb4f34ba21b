#pragma once

// Firefox's list of a user's profiles, profiles.ini: an INI file with a [ProfileN] section
// per profile and, since Firefox 67, an [Install...] section per installation that names
// the profile that installation opens.

#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

struct FirefoxProfile {
    std::string name;        // its Name=, or the last element of its folder when empty
    std::string folder;      // the profile's folder, ending in its separator
    bool isDefault = false;  // the profile Firefox opens
};

// The profiles that the text of a profiles.ini lists, the default first and then the others
// in the file's order; `iniFolder` is the folder that holds the file, ending in its
// separator. A profile's folder is its Path=, below `iniFolder` unless IsRelative=0, with
// "/" as the platform writes it. The default is the profile whose Path= the first
// [Install...] section's Default= names; without such a section (or when it names no
// profile listed), the one with Default=1; none is marked when neither says. Sections
// without a Path= are left out. Lines end at LF or CR LF; keys and values are trimmed of
// blanks and TABs, and lines beginning with ";" or "#" are comments.
std::vector<FirefoxProfile> ReadFirefoxProfiles(std::string_view ini, const std::string& iniFolder);

}  // namespace tamsel
