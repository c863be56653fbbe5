// Mutator: the mutation loop the loaders' fuzz drivers share. It starts from the
// game's real files, damages copies of them (flipped and inserted bytes, spliced
// awkward values, long runs, cuts) and hands each to a loader through a file,
// for a given time. The input being tried is always on disk, so a run that a
// sanitizer stops leaves the guilty file behind.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fuzz {

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Values that break loaders: zeros, all ones, sign bits, huge sizes, separators.
inline const std::vector<std::string>& Pieces()
{
    static const std::vector<std::string> pieces = {
        std::string(4, '\0'), std::string(4, '\xff'), "\x7f\xff\xff\xff", "\x80\x00\x00\x00", "\n", "\r\n", ":",
        "-1", "999999999999", "nan", std::string(2, '\0'), "\xff\xff", "IHDR", "IDAT", "IEND", "glyf", "loca",
        "cmap", "RIFF", "WAVE", "fmt ", "data", "ID3", "\xff\xfb"};
    return pieces;
}

inline std::string Mutate(std::string s, std::mt19937& rng)
{
    const int edits = 1 + int(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        const size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (rng() % 7) {
        case 0: s.insert(at, 1, char(rng())); break;
        case 1: if (at < s.size()) s.erase(at, 1 + rng() % 16); break;
        case 2: if (at < s.size()) s[at] = char(rng()); break;
        case 3: if (at < s.size()) s[at] = char(s[at] ^ (1 << (rng() % 8))); break;
        case 4: s.insert(at, Pieces()[rng() % Pieces().size()]); break;
        case 5: s.insert(at, std::string(1 + rng() % 512, char(rng()))); break;
        case 6: s.resize(at); break;  // cut short
        }
    }
    return s;
}

// Runs `load` on mutated copies of the seeds for `seconds`; returns the count
// tried. `load` answers whether the loader accepted the file.
inline long Run(const char* name, const std::vector<std::string>& seedPaths, double seconds, uint32_t seed,
                const std::function<bool(const char*)>& load)
{
    std::vector<std::string> seeds;
    for (const std::string& p : seedPaths) seeds.push_back(ReadFile(p));
    std::mt19937 rng(seed);
    const std::string path = std::string("/tmp/eb_fuzz_") + name + "_input";
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long tried = 0, accepted = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::string input = rng() % 16 == 0 ? std::string() : seeds[rng() % seeds.size()];
        input = Mutate(input, rng);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << input;
        accepted += load(path.c_str()) ? 1 : 0;
        ++tried;
    }
    std::remove(path.c_str());
    printf("%s: %ld inputs tried, %ld accepted, no crash\n", name, tried, accepted);
    return tried;
}

// Reads "[seconds] [seed]" from the command line.
inline void Arguments(int argc, char** argv, double* seconds, uint32_t* seed)
{
    *seconds = argc > 1 ? atof(argv[1]) : 60.0;
    *seed = argc > 2 ? uint32_t(strtoul(argv[2], nullptr, 10)) : 1u;
}

}  // namespace fuzz
