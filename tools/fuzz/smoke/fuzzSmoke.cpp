// A short run of the packet fuzz target for the ordinary suite, without
// libFuzzer: the seed corpus, then seeded mutations of it (bytes flipped,
// cut, repeated, spliced), a fixed number of them.  The long runs with
// coverage are done by hand (tools/fuzz/README.md).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER RUNS\n", argv[0]);
        return 2;
    }
    std::vector<std::vector<unsigned char>> corpus;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream in(entry.path(), std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (corpus.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", argv[1]);
        return 2;
    }
    for (const auto& seed : corpus)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());

    std::uint64_t state = 0x243f6a8885a308d3ull;
    auto draw = [&](std::uint32_t below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33) % below;
    };
    const long runs = std::atol(argv[2]);
    for (long run = 0; run < runs; ++run) {
        std::vector<unsigned char> input = corpus[draw(corpus.size())];
        const int edits = 1 + draw(8);
        for (int e = 0; e < edits && !input.empty(); ++e) {
            const std::size_t at = draw(input.size());
            switch (draw(5)) {
            case 0:
                input[at] ^= static_cast<unsigned char>(1u << draw(8));
                break;
            case 1:
                input[at] = static_cast<unsigned char>(draw(256));
                break;
            case 2:
                input.resize(at);
                break;
            case 3: {
                const auto& other = corpus[draw(corpus.size())];
                input.insert(input.begin() + at, other.begin(), other.end());
                break;
            }
            default:
                input.insert(input.begin() + at, input.begin(), input.begin() + at);
                break;
            }
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu seeds and %ld mutations: no fault\n", corpus.size(), runs);
    return 0;
}
