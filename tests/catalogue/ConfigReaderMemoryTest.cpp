// Users read thousands of configs in a scan or a batch: a reader serving one config after another
// makes no heap allocation per line, token or value once its buffers have grown.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "catalogue/ConfigReader.h"
#include "catalogue/OutlineNode.h"

namespace {
std::atomic<long> gAllocations{0};
}

// Counts every allocation of this test program. (The compiler takes free() of what operator new gave
// for a mismatch; here both are ours and meet in malloc.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace kelvarn {
namespace {

// Every kind of line the reader makes something of: plain tags, tabs, braces on a line, quoted texts
// over several lines, braces inside values, a tag holding "=", bare sound names.
std::string ManyLines(int containers) {
    std::string text = "kind \"scenery\"\r\nkuid <kuid:1:2>\r\n";
    for (int i = 0; i < containers; ++i) {
        const std::string n = std::to_string(i);
        text += "entry-" + n + " {\r\n  mesh\t\t\"m" + n + ".im\"\r\n  auto-create 1\r\n";
        text += "  description \"first line of " + n + "\r\nsecond {line}\r\nthird\"\r\n";
        text += "  name \"a {brace} in " + n + "\"\r\n  a=b c\r\n  sounds { horn" + n + ".wav }\r\n}\r\n";
    }
    return text;
}

long AllocationsOfARead(TConfigReader& reader, const std::string& text, bool tree) {
    const long before = gAllocations;
    EXPECT_TRUE(reader.LoadConfigBytes(text, "asset")) << reader.LastError();
    if (tree) {
        EXPECT_NE(reader.BuildTree(), nullptr);
    }
    EXPECT_TRUE(reader.UnloadConfig("asset"));
    return gAllocations - before;
}

TEST(ConfigReaderMemory, NoAllocationPerLineOnceTheBuffersHaveGrown) {
    TConfigReader reader;
    const std::string small = ManyLines(20), large = ManyLines(400);  // 160 and 3,200 file lines
    AllocationsOfARead(reader, large, true);                          // the buffers grow here
    // The same few allocations (paths and messages), whether the config has 160 lines or 3,200.
    const long forSmall = AllocationsOfARead(reader, small, false);
    const long forLarge = AllocationsOfARead(reader, large, false);
    EXPECT_LE(forSmall, 8);
    EXPECT_EQ(forLarge, forSmall);
    // A tree makes its nodes, their texts and the child lists of containers, and nothing per line besides.
    const long tree = AllocationsOfARead(reader, large, true) - forLarge;
    EXPECT_LE(tree, 3 * 400 * 8 + 16);
}

}  // namespace
}  // namespace kelvarn
