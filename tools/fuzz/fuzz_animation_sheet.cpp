// fuzz_animation_sheet: feeds the sprite-sheet reader random, mutated and
// truncated description files for a while, to be run in the sanitizer build
// (EB_SANITIZE=1), where any out-of-bounds read or undefined behaviour stops it.
//     build-asan/tools/fuzz_animation_sheet [seconds] [seed]
// It prints how many files it tried and how many the reader accepted.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <objects/AnimationSheet.h>

static const char* const SEEDS[] = {
    "8\n2\n4\nAssets/Sprites/Heroes/Animations/Hunter/hero_hunter_spritesheet.png\nready:0.08\nstep1:0.07\n"
    "step2:0.07\nwindup:0.08\nstrike1:0.07\nstrike2:0.08\nfollow:0.09\nrecover:0.08\n",
    "4\r\n2\r\n2\r\nsheet.png\r\na:b:0.25\r\n0.5\r\n12\r\nx:1e3\r\n",
    "1\n1\n1\n\n:\n",
};

// Pieces worth splicing in: the format's own characters and awkward numbers.
static const char* const PIECES[] = {"\n", "\r\n", "\r", ":", "-", "0", "-1", "999999999999", "2147483648", "1e38",
                                     "nan", "inf", "-0", "0.", ".5", "::::", "\xff"};

static std::string Mutate(std::string s, std::mt19937& rng)
{
    const int edits = 1 + int(rng() % 6);
    for (int i = 0; i < edits; ++i) {
        const size_t at = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (rng() % 6) {
        case 0: s.insert(at, 1, char(rng() % 256)); break;
        case 1: if (at < s.size()) s.erase(at, 1 + rng() % 8); break;
        case 2: if (at < s.size()) s[at] = char(rng() % 256); break;
        case 3: s.insert(at, PIECES[rng() % (sizeof PIECES / sizeof *PIECES)]); break;
        case 4: s.insert(at, std::string(1 + rng() % 400, char("0-\n:a"[rng() % 5]))); break;
        case 5: s.resize(at); break;  // truncated
        }
    }
    return s;
}

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? atof(argv[1]) : 60.0;
    std::mt19937 rng(argc > 2 ? uint32_t(strtoul(argv[2], nullptr, 10)) : 1u);
    const std::string path = "/tmp/eb_fuzz_sheet_" + std::to_string(rng());
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long tried = 0, accepted = 0;
    // The reader explains every refusal on standard error; silence it while fuzzing.
    if (!freopen("/dev/null", "w", stderr)) return 1;
    while (std::chrono::steady_clock::now() < end) {
        std::string file = rng() % 8 == 0 ? std::string() : SEEDS[rng() % 3];
        file = Mutate(file, rng);
        if (FILE* f = fopen(path.c_str(), "wb")) {
            fwrite(file.data(), 1, file.size(), f);
            fclose(f);
        }
        AnimationSheetDesc desc;
        if (ReadAnimationSheet(path.c_str(), &desc)) {
            ++accepted;
            // What the reader accepts must be safe to play.
            if (desc.frameCount == 0 || desc.rows == 0 || desc.columns == 0 ||
                desc.durations.size() != desc.frameCount || desc.frameCount > desc.rows * desc.columns)
                return printf("accepted an unplayable sheet:\n%s\n", file.c_str()), 1;
        }
        ++tried;
    }
    remove(path.c_str());
    printf("%ld files tried, %ld accepted\n", tried, accepted);
    return 0;
}
