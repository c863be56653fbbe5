// Sprite-sheet descriptions and playback, without a window: what the reader
// accepts and refuses (including the cases the fuzzer turned up), and how a
// sprite steps through the cells of its sheet.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include <LESystem.h>
#include <objects/AnimationSheet.h>
#include <objects/GameObject.h>

#include "TestEngine.h"

namespace {

std::string WriteTemp(const std::string& content)
{
    const std::string path = testing::TempDir() + "eb_sheet_" + std::to_string(getpid());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

struct SheetCase {
    const char* what;
    std::string file;
    bool accepted;
    std::vector<float> durations;  // when accepted
    uint32_t rows = 1, columns = 0;  // when accepted; no columns: as many as frames
};

TEST(AnimationSheetFile, ReadsTheFormatAndRefusesWhatCannotBeAnAnimation)
{
    const std::string longLine(256, 'x');
    std::string twelve = "12\r\n3\r\n4\r\nsheet.png\r\n";
    for (int i = 0; i < 12; ++i) twelve += "f:0.1\r\n";
    const SheetCase cases[] = {
        {"durations after the last colon, or the whole line", "3\n1\n3\nsheet.png\na:b:0.25\n0.5\nwalk:0.1\n", true,
         {0.25f, 0.5f, 0.1f}},
        {"carriage returns are dropped", "2\r\n1\r\n2\r\nsheet.png\r\na:0.2\r\nb:0.3\r\n", true, {0.2f, 0.3f}},
        {"a last line without a line feed", "1\n1\n1\nsheet.png\n0.7", true, {0.7f}},
        {"twelve frames in a three by four grid", twelve, true, std::vector<float>(12, 0.1f), 3, 4},
        {"an empty file", "", false, {}},
        {"no rows", "4\n0\n4\nsheet.png\n1\n1\n1\n1\n", false, {}},
        {"no columns", "4\n2\n0\nsheet.png\n1\n1\n1\n1\n", false, {}},
        {"a negative frame count", "-4\n2\n2\nsheet.png\n", false, {}},
        {"an absurd frame count", "2000000000\n1\n1\nsheet.png\n", false, {}},
        {"more frames than cells", "5\n2\n2\nsheet.png\n1\n1\n1\n1\n1\n", false, {}},
        {"fewer duration lines than frames", "3\n1\n3\nsheet.png\na:0.1\n", false, {}},
        {"a header token over 12 characters", "0000000000001\n1\n1\nsheet.png\n1\n", false, {}},
        {"a path line over 255 characters", "1\n1\n1\n" + longLine + "\n1\n", false, {}},
        {"a duration line over 255 characters", "1\n1\n1\nsheet.png\n" + longLine + "\n", false, {}},
        {"a negative duration", "1\n1\n1\nsheet.png\na:-1\n", false, {}},
        {"a duration that is no number", "1\n1\n1\nsheet.png\na:nan\n", false, {}},
        {"truncated inside the header", "8\n2", false, {}},
    };
    for (const SheetCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = WriteTemp(c.file);
        AnimationSheetDesc desc;
        testing::internal::CaptureStderr();
        const bool accepted = ReadAnimationSheet(path.c_str(), &desc);
        const std::string said = testing::internal::GetCapturedStderr();
        remove(path.c_str());
        EXPECT_EQ(accepted, c.accepted);
        if (accepted) {
            EXPECT_EQ(desc.texturePath, "sheet.png");
            EXPECT_EQ(desc.frameCount, c.durations.size());
            EXPECT_EQ(desc.rows, c.rows);
            EXPECT_EQ(desc.columns, c.columns ? c.columns : c.durations.size());
            ASSERT_EQ(desc.durations.size(), c.durations.size());
            for (size_t i = 0; i < c.durations.size(); ++i) EXPECT_FLOAT_EQ(desc.durations[i], c.durations[i]);
            EXPECT_TRUE(said.empty()) << said;
        } else {
            EXPECT_NE(said.find(path), std::string::npos) << "the refusal names the file: " << said;
        }
    }
}

// The game's own sheets: test_assets.

// A 2 x 2 sheet of four 0.1-second frames, played with 0.35-second frames.
TEST(AnimationPlayback, OneFramePerDrawFinishedForOneDrawAndTheCellsOfTheGrid)
{
    AnimationSheet sheet;
    sheet.frameCount = 4;
    sheet.rows = sheet.columns = 2;
    sheet.durations = {0.1f, 0.1f, 0.1f, 0.1f};
    LESystemSetFixedFrameTime(0.35);
    LESystemFrameEnd();  // the frame time is now 0.35 s

    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "looping" : "playing once");
        Sprite sprite;
        sprite.sheet = &sheet;
        PlayAnimation(&sprite);
        sprite.loop = loop;
        sprite.playing = true;
        for (uint32_t expected : {1u, 2u, 3u}) {
            AdvanceAnimation(&sprite);
            EXPECT_EQ(sprite.frame, expected) << "one frame per draw, however long";
            EXPECT_FALSE(sprite.finished);
        }
        // Frame 3 is the cell at (1/2, 1/2), a quarter of the texture.
        const auto& m = sprite.textureMatrix.m;
        EXPECT_TRUE(Near({m[0][2], m[1][2]}, {0.5f, 0.5f}) && Near({m[0][0], m[1][1]}, {0.5f, 0.5f}));

        AdvanceAnimation(&sprite);
        EXPECT_TRUE(sprite.finished);
        EXPECT_EQ(sprite.frame, loop ? 0u : 3u);
        EXPECT_EQ(sprite.playing, loop);
        AdvanceAnimation(&sprite);
        EXPECT_FALSE(sprite.finished) << "for one draw only";
        EXPECT_EQ(sprite.frame, loop ? 1u : 3u);
    }
    LESystemSetFixedFrameTime(0.0);
}

}  // namespace
