#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tamsel::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes. Paths handed out are UTF-8 strings with "/" between their elements,
// ending without a separator.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // The folder as the engine takes it: UTF-8, with a trailing separator.
    std::string folder() const;
    // root() / relative, as a UTF-8 string.
    std::string path(std::string_view relative) const;

    // Writes bytes to root() / relative, creating the folders on the way.
    void write(std::string_view relative, std::string_view bytes) const;
    // The whole file, or an empty string when it cannot be read.
    std::string read(std::string_view relative) const;
    bool exists(std::string_view relative) const;
    // Copies a file of the test data (relative to tests/data).
    void copyFixture(std::string_view fixture, std::string_view relative) const;

  private:
    std::filesystem::path root_;
};

// The path a UTF-8 text names, and the UTF-8 text of a path with "/" between its
// elements: the engine takes paths as UTF-8, and on Windows the narrow forms of
// std::filesystem follow the ANSI code page instead, and "\\" would mix with "/".
std::filesystem::path FromUtf8(std::string_view utf8);
std::string ToUtf8(const std::filesystem::path& path);

// Reads a file of the test data whole.
std::string ReadFixture(std::string_view fixture);
// Reads any file whole; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace tamsel::test
