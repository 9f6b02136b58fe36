// Runs a fuzz target without libFuzzer: every seed of the corpus folder, then a number of
// deterministic mutations of them, so that gcc builds exercise the targets in CI.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [MUTATIONS]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> seeds;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(argv[1], ec)) {
        std::ifstream in(e.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (seeds.empty()) seeds.emplace_back();
    for (const auto& s : seeds) LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());

    const long mutations = argc > 2 ? std::stol(argv[2]) : 0;
    std::mt19937 rng(12345);
    for (long i = 0; i < mutations; ++i) {
        std::string m = seeds[rng() % seeds.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < edits; ++k) {
            const int kind = static_cast<int>(rng() % 4);
            const std::size_t at = m.empty() ? 0 : rng() % (m.size() + 1);
            if (kind == 0 && !m.empty() && at < m.size()) m[at] = static_cast<char>(rng());
            else if (kind == 1) m.insert(at, 1, static_cast<char>(rng()));
            else if (kind == 2 && at < m.size()) m.erase(at, 1 + rng() % 16);
            else if (!m.empty()) m.insert(at, m.substr(rng() % m.size(), 1 + rng() % 32));
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(m.data()), m.size());
    }
    std::printf("replayed %zu seeds and %ld mutations\n", seeds.size(), mutations);
    return 0;
}
