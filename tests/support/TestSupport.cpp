#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>

namespace kelvarn::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() /
                       ("kelvarn-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    path_ = p.string();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

void WriteBytes(const std::string& path, std::string_view bytes) {
    const fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CopyWritable(const std::string& from, const std::string& to) {
    fs::copy(from, to, fs::copy_options::recursive);
    fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
    if (!fs::is_directory(to)) return;
    for (const auto& entry : fs::recursive_directory_iterator(to))
        if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
}

}  // namespace kelvarn::test
