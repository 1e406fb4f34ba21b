#include "convert/firefox_profiles.h"

#include <algorithm>
#include <optional>

#include "support/path.h"

namespace tamsel {

namespace {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;

    std::string_view Value(std::string_view key) const {
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const auto& value) { return value.first == key; });
        return found == values.end() ? std::string_view() : found->second;
    }
};

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

std::vector<Section> Sections(std::string_view ini) {
    if (ini.starts_with("\xef\xbb\xbf")) {
        ini.remove_prefix(3);
    }
    std::vector<Section> sections;
    while (!ini.empty()) {
        const std::size_t end = std::min(ini.find('\n'), ini.size());
        const std::string_view line = Trimmed(ini.substr(0, end));
        ini.remove_prefix(std::min(end + 1, ini.size()));
        if (line.starts_with('[') && line.ends_with(']')) {
            sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
        } else if (const std::size_t equals = line.find('=');
                   !sections.empty() && equals != std::string_view::npos &&
                   !line.starts_with(';') && !line.starts_with('#')) {
            sections.back().values.emplace_back(Trimmed(line.substr(0, equals)),
                                                Trimmed(line.substr(equals + 1)));
        }
    }
    return sections;
}

std::string NativeSeparators(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '/', kNativeSeparator);
    return native;
}

std::string LastElement(const std::string& folder) {
    const std::size_t end = folder.find_last_not_of(kNativeSeparator);
    if (end == std::string::npos) {
        return folder;
    }
    const std::size_t start = folder.find_last_of(kNativeSeparator, end) + 1;  // 0 for none
    return folder.substr(start, end + 1 - start);
}

}  // namespace

std::vector<FirefoxProfile> ReadFirefoxProfiles(std::string_view ini,
                                                const std::string& iniFolder) {
    const std::vector<Section> sections = Sections(ini);
    const auto install = std::find_if(sections.begin(), sections.end(), [](const Section& s) {
        return s.name.starts_with("Install") && !s.Value("Default").empty();
    });
    std::vector<FirefoxProfile> profiles;
    std::vector<std::string_view> paths;
    std::optional<std::size_t> chosen;  // the first Default=1, unless the install names one
    for (const Section& section : sections) {
        const std::string_view path = section.Value("Path");
        if (!section.name.starts_with("Profile") || path.empty()) {
            continue;
        }
        FirefoxProfile profile;
        const bool relative = section.Value("IsRelative") != "0";
        profile.folder = WithNativeSeparatorAtEnd((relative ? iniFolder : std::string()) +
                                                  NativeSeparators(path));
        profile.name = section.Value("Name");
        if (profile.name.empty()) {
            profile.name = LastElement(profile.folder);
        }
        if (!chosen && section.Value("Default") == "1") {
            chosen = profiles.size();
        }
        profiles.push_back(std::move(profile));
        paths.push_back(path);
    }
    if (install != sections.end()) {
        const auto named = std::find(paths.begin(), paths.end(), install->Value("Default"));
        if (named != paths.end()) {
            chosen = static_cast<std::size_t>(named - paths.begin());
        }
    }
    if (chosen) {
        profiles[*chosen].isDefault = true;
        std::rotate(profiles.begin(), profiles.begin() + static_cast<std::ptrdiff_t>(*chosen),
                    profiles.begin() + static_cast<std::ptrdiff_t>(*chosen) + 1);
    }
    return profiles;
}

}  // namespace tamsel
