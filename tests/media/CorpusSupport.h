// The real asset folders beside the repository (../shared/corpus), which the readers are tested on.
#pragma once

#include <filesystem>
#include <string>

namespace kelvarn::test {

inline std::string CorpusFolder() { return std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus"; }
inline bool HaveCorpus() { return std::filesystem::is_directory(CorpusFolder()); }
inline std::string CorpusFile(const std::string& relative) { return CorpusFolder() + "/" + relative; }

}  // namespace kelvarn::test

// Skips the test when the real asset folders are not there.
#define KELVARN_NEED_CORPUS()                                                            \
    do {                                                                                 \
        if (!::kelvarn::test::HaveCorpus()) GTEST_SKIP() << "no ../shared/corpus here"; \
    } while (0)
