// A fuzz target as a plain program, for the tests and for compilers without libFuzzer: it runs
// every seed of the target's corpus folder, then a seeded, bounded stream of inputs made by
// mutating those seeds. A failed property aborts, as it does under libFuzzer.
//   fuzz_numtext_replay CORPUS_FOLDER [INPUTS [SEED]]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fixtures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

// Bytes the readers care about: separators, line ends, quotes, signs, digits, NUL, accents, BOM.
const std::string kTelling("  \t\r\n\r\n\"\"0159.,,-+eE$xX\0\xC7\xE3\xEF\xBB\xBF\xFF\x80\x7F", 33);

void run(const std::string &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
}

std::string mutated(const std::vector<std::string> &seeds, std::mt19937_64 &random)
{
    const auto below = [&](std::size_t n) { return n == 0 ? 0 : std::size_t(random() % n); };
    std::string out = seeds.empty() ? std::string() : seeds[below(seeds.size())];
    for (std::size_t edits = 1 + below(8); edits > 0; --edits) {
        const std::size_t at = below(out.size() + 1);
        const std::size_t length = std::min(out.size() - at, 1 + below(below(2) ? 8 : 512));
        switch (below(7)) {
        case 0: // flip a bit
            if (at < out.size())
                out[at] = char(out[at] ^ (1 << below(8)));
            break;
        case 1: // put a telling byte in
            out.insert(at, 1, kTelling[below(kTelling.size())]);
            break;
        case 2: // overwrite with a telling byte
            if (at < out.size())
                out[at] = kTelling[below(kTelling.size())];
            break;
        case 3: // cut a piece out
            out.erase(at, length);
            break;
        case 4: // repeat a piece
            out.insert(at, out.substr(at, length));
            break;
        case 5: { // join with the end of another seed
            const std::string &other = seeds.empty() ? out : seeds[below(seeds.size())];
            out = out.substr(0, at) + other.substr(below(other.size() + 1));
            break;
        }
        default: // random bytes
            for (std::size_t i = 0; i < length % 16; ++i)
                out.insert(out.begin() + std::ptrdiff_t(at), char(random()));
        }
    }
    out.resize(std::min<std::size_t>(out.size(), 16384));
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "use: %s CORPUS_FOLDER [INPUTS [SEED]]\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator(argv[1]))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> seeds;
    for (const auto &file : files)
        run(seeds.emplace_back(koravel::test::readBytes(file)));
    const long inputs = argc > 2 ? std::atol(argv[2]) : 5000;
    std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
    for (long i = 0; i < inputs; ++i)
        run(mutated(seeds, random));
    std::printf("%zu seeds and %ld mutated inputs passed\n", seeds.size(), inputs);
    return seeds.empty() ? 1 : 0;
}
