#pragma once

// A Chromium-family browser's profiles: the folders "Default" and "Profile N" in its user
// data folder, named for the user in the user data folder's "Local State" file.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel {

// The profiles' names by folder name, from the text of a "Local State" file: each member
// of "profile" / "info_cache" whose "name" is a non-empty text. Empty for a text that is
// no such JSON. Never throws, except std::bad_alloc.
std::map<std::string, std::string> ChromiumProfileNames(std::string_view localState);

// The profile folders among the names of a user data folder's entries, in the order the
// browser lists them: "Default" first, then "Profile N" by N (N one or more digits).
std::vector<std::string> ChromiumProfileFolders(std::vector<std::string> names);

}  // namespace tamsel
