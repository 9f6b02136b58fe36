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
    const auto writable = [](const fs::path& p) { fs::permissions(p, fs::perms::owner_write, fs::perm_options::add); };
    fs::create_directories(fs::path(to).parent_path());
    if (!fs::is_directory(from)) {
        fs::copy(from, to);
        writable(to);
        return;
    }
    // Folder by folder, each made writable before it is filled: a copy of a read-only folder takes its
    // permissions, and only root could then put the files in (the corpus is read-only).
    fs::create_directory(to);
    writable(to);
    // Links are followed, as a plain recursive copy follows them; so the place below `from` is taken
    // from the path as listed, not from where a link leads.
    fs::path base = fs::path(from).lexically_normal();
    if (!base.has_filename()) base = base.parent_path();
    for (auto it = fs::recursive_directory_iterator(base, fs::directory_options::follow_directory_symlink);
         it != fs::recursive_directory_iterator(); ++it) {
        const fs::path target = fs::path(to) / it->path().lexically_relative(base);
        if (it->is_directory()) {
            fs::create_directory(target);
        } else {
            fs::copy(it->path(), target);
        }
        writable(target);
    }
}

}  // namespace kelvarn::test
