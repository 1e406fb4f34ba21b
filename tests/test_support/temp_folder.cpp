#include "test_support/temp_folder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace tamsel::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = fs::temp_directory_path() / ("tamsel-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            root_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string TempFolder::folder() const {
    return ToUtf8(root_) + "/";
}

std::string TempFolder::path(std::string_view relative) const {
    return ToUtf8(root_ / FromUtf8(relative));
}

void TempFolder::write(std::string_view relative, std::string_view bytes) const {
    fs::path target = root_ / FromUtf8(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + ToUtf8(target));
    }
}

std::string TempFolder::read(std::string_view relative) const {
    return ReadFileBytes(root_ / FromUtf8(relative));
}

bool TempFolder::exists(std::string_view relative) const {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(root_ / FromUtf8(relative), ignored));
}

void TempFolder::copyFixture(std::string_view fixture, std::string_view relative) const {
    write(relative, ReadFixture(fixture));
}

fs::path FromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ToUtf8(const fs::path& path) {
    const std::u8string utf8 = path.generic_u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string ReadFixture(std::string_view fixture) {
    fs::path source = fs::path(TAMSEL_FIXTURES) / FromUtf8(fixture);
    std::string bytes = ReadFileBytes(source);
    if (bytes.empty()) {
        throw std::runtime_error("missing fixture " + ToUtf8(source));
    }
    return bytes;
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace tamsel::test
