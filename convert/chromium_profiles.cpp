#include "convert/chromium_profiles.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tamsel {

namespace {

constexpr std::string_view kProfilePrefix = "Profile ";

bool IsProfileFolder(std::string_view name) {
    if (name == "Default") {
        return true;
    }
    if (!name.starts_with(kProfilePrefix) || name.size() == kProfilePrefix.size()) {
        return false;
    }
    const std::string_view digits = name.substr(kProfilePrefix.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Default" first, then "Profile N" by N: by the digits' count, then by the digits, so that
// numbers of any length sort right without being converted.
bool ComesFirst(const std::string& a, const std::string& b) {
    if (a == "Default" || b == "Default") {
        return a == "Default" && b != "Default";
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

std::map<std::string, std::string> ChromiumProfileNames(std::string_view localState) {
    using Json = nlohmann::json;
    std::map<std::string, std::string> names;
    const Json state = Json::parse(localState.begin(), localState.end(), nullptr, false);
    const Json* cache = nullptr;
    if (state.is_object()) {
        const auto profile = state.find("profile");
        if (profile != state.end() && profile->is_object()) {
            const auto found = profile->find("info_cache");
            cache = found != profile->end() && found->is_object() ? &*found : nullptr;
        }
    }
    if (cache == nullptr) {
        return names;
    }
    for (const auto& [folder, info] : cache->items()) {
        const auto name = info.find("name");  // end() for an info that is no object
        if (name != info.end() && name->is_string() &&
            !name->get_ref<const std::string&>().empty()) {
            names.emplace(folder, name->get_ref<const std::string&>());
        }
    }
    return names;
}

std::vector<std::string> ChromiumProfileFolders(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& name) { return !IsProfileFolder(name); });
    std::sort(names.begin(), names.end(), ComesFirst);
    return names;
}

}  // namespace tamsel
