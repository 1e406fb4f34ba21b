#pragma once

// Folders of generated entries for the path-box benchmarks: one folder per size, filled
// once and removed when the program ends.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <thread>

namespace tamsel::bench {

class EntryFolders {
  public:
    explicit EntryFolders(const std::string& name)
        : root_(std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(::getpid()))) {}
    EntryFolders(const EntryFolders&) = delete;
    EntryFolders& operator=(const EntryFolders&) = delete;
    ~EntryFolders() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // A folder with `count` files named entry000000.txt and up, as UTF-8 with a separator,
    // left unchanged for longer than a listing distrusts a recent change.
    const std::string& withEntries(int count) {
        auto found = folders_.find(count);
        if (found != folders_.end()) {
            return found->second;
        }
        const std::filesystem::path folder = root_ / std::to_string(count);
        std::filesystem::create_directories(folder);
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "entry%06d.txt", i);
            std::ofstream(folder / name);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2'100));
        return folders_.emplace(count, folder.string() + "/").first->second;
    }

    // Changes the folder of `count` entries as a user's other program might: its last
    // entry is renamed, to a name of the same kind or back. The names listed stay as many
    // and in the same order.
    static void change(const std::filesystem::path& folder, int count) {
        char name[32];
        std::snprintf(name, sizeof name, "entry%06d.", count - 1);
        const std::filesystem::path txt = folder / (std::string(name) + "txt");
        const std::filesystem::path was = folder / (std::string(name) + "was");
        std::filesystem::exists(txt) ? std::filesystem::rename(txt, was)
                                     : std::filesystem::rename(was, txt);
    }

  private:
    std::filesystem::path root_;
    std::map<int, std::string> folders_;
};

}  // namespace tamsel::bench
