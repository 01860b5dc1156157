#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "scene/SceneRng.h"
#include "tests/tools/CommandLineSupport.h"
#include "tools/common/CommandLine.h"
#include "tools/vistrel-render/RenderCommand.h"

namespace vistrel {
namespace {

using test::Args;
using test::Joined;

// A parsed command as one line: mode, seeds, size, scale, output, the format when --format is
// given, and omitted elements.
std::string Described(const RenderCommand& c) {
    std::string text =
        c.mode == RenderCommand::Mode::Help ? "help"
        : c.mode == RenderCommand::Mode::Picture
            ? "seed " + std::to_string(c.PictureSeed())
            : std::string(c.mode == RenderCommand::Mode::Digest ? "digest " : "out-dir ") +
                  std::to_string(c.firstSeed) + "-" + std::to_string(c.lastSeed);
    text += " " + std::to_string(c.width) + "x" + std::to_string(c.height) + " x" +
            std::to_string(c.scale) + " " + c.output.value_or("-");
    if (c.format) {
        constexpr const char* FormatNames[] = {"png", "ppm", "raw"};  // as ImageFormat has them
        text += std::string(" as ") + FormatNames[static_cast<int>(c.PictureFormat())];
    }
    if (c.fit) {
        text += " fit " + std::to_string(c.fit->first) + "x" + std::to_string(c.fit->second);
    }
    for (const NamedElement& e : ElementNames) {
        text += c.omitted.Has(e.element) ? " -" + std::string(e.name) : "";
    }
    return text;
}

TEST(RenderCommandTest, ValidCommandLines) {
    const std::pair<Args, std::string> cases[] = {
        {{"--seed", "7"}, "seed 7 570x190 x1 -"},
        {{"--seed", "4294967295", "-o", "a.ppm"}, "seed 4294967295 570x190 x1 a.ppm"},
        {{"--size", "600x206", "--seed", "0", "--output", "x.png"}, "seed 0 600x206 x1 x.png"},
        {{"--seed", "3", "--size", "8192x1", "--scale", "2", "-o", "p.raw"},
         "seed 3 8192x1 x2 p.raw"},
        {{"--seed", "3", "--size", "1024x1024", "--scale", "16"}, "seed 3 1024x1024 x16 -"},
        {{"--seed", "1", "--omit", "birds,sky,tufts"}, "seed 1 570x190 x1 - -sky -tufts -birds"},
        {{"--seeds", "5-5", "--digest"}, "digest 5-5 570x190 x1 -"},
        {{"--digest", "--seeds", "0-4294967295", "--size", "1x1", "--omit", "haze"},
         "digest 0-4294967295 1x1 x1 - -haze"},
        {{"--seed", "1", "-h"}, "help 570x190 x1 -"},
        {{"--seed", "7", "--digest", "--omit", "tufts"}, "digest 7-7 570x190 x1 - -tufts"},
        {{"--digest", "--run-seed", "1", "--scene", "3"}, "digest 6334-6334 570x190 x1 -"},
        {{"--seeds", "0-32767", "--out-dir", "g", "--size", "600x206", "--scale", "3"},
         "out-dir 0-32767 600x206 x3 -"},
        {{"--seed", "9", "--fit", "1280x1024", "-o", "b.png"},
         "seed 9 570x190 x1 b.png fit 1280x1024"},
        {{"--fit", "16384x1", "--run-seed", "1", "--scene", "3", "--omit", "birds"},
         "seed 6334 570x190 x1 - fit 16384x1 -birds"},
        {{"--seed", "1", "--format", "ppm"}, "seed 1 570x190 x1 - as ppm"},
        {{"--seed", "1", "-o", "/dev/stdout", "--format", "raw"},
         "seed 1 570x190 x1 /dev/stdout as raw"},
        {{"--format=png", "-o", "a.png", "--seed", "2"}, "seed 2 570x190 x1 a.png as png"},
        {{"--seed", "1", "-o", "lake.jpg", "--format", "png"}, "seed 1 570x190 x1 lake.jpg as png"},
    };
    for (const auto& [args, expected] : cases) {
        const ParseResult parsed = ParseRenderCommand(args);
        ASSERT_TRUE(parsed.command) << Joined(args) << ": " << parsed.error;
        EXPECT_EQ(Described(*parsed.command), expected) << Joined(args);
    }
}

TEST(RenderCommandTest, PictureSeedOfARunIsTheSceneSeed) {
    for (const auto& [runSeed, scene] : {std::pair{1u, 1u}, std::pair{1u, 3u},
                                         std::pair{1765432109u, 4000000000u}, std::pair{9u, 0u}}) {
        const ParseResult parsed = ParseRenderCommand(
            {"--run-seed", std::to_string(runSeed), "--scene", std::to_string(scene)});
        ASSERT_TRUE(parsed.command) << parsed.error;
        SceneRng rng;
        SceneSeed(rng, runSeed, scene);
        EXPECT_EQ(parsed.command->PictureSeed(), rng.State()) << runSeed << " " << scene;
    }
}

TEST(RenderCommandTest, BadCommandLinesGiveOneLineErrors) {
    struct Case {
        Args args;
        std::string mentions;
    };
    const Case cases[] = {
        {{}, "--seed"},
        {{"--seed", "1", "--frobnicate"}, "--frobnicate"},
        {{"--seed"}, "--seed"},
        {{"--seed", "1", "-o"}, "-o"},
        {{"--seed", "4294967296"}, "--seed"},
        {{"--seed", "-1"}, "--seed"},
        {{"--seed", "0x10"}, "--seed"},
        {{"--seed", "1\n2"}, "--seed"},
        {{"--seed", "1", "--omit", "sky\nbirds"}, "--omit"},
        {{"--seed", "1", "-o", "a\nb.jpg"}, "b.jpg"},
        {{"--seed", "1", "--what\r\n"}, "--what"},
        {{"--seed", ""}, "--seed"},
        {{"--run-seed", "1"}, "--scene"},
        {{"--scene", "1"}, "--run-seed"},
        {{"--seed", "1", "--run-seed", "1", "--scene", "2"}, "--seed"},
        {{"--seed", "1", "--scale", "0"}, "--scale"},
        {{"--seed", "1", "--scale", "17"}, "--scale"},
        {{"--seed", "1", "--scale", "2x"}, "--scale"},
        {{"--seed", "1", "--size", "0x5"}, "--size"},
        {{"--seed", "1", "--size", "8193x1"}, "--size"},
        {{"--seed", "1", "--size", "5x"}, "--size"},
        {{"--seed", "1", "--size", "abc"}, "--size"},
        {{"--seed", "1", "--size", "5x5x5"}, "--size"},
        {{"--seeds", "5-3", "--digest"}, "--seeds"},
        {{"--seeds", "5", "--digest"}, "--seeds"},
        {{"--seeds", "1-4294967296", "--digest"}, "--seeds"},
        {{"--digest"}, "--seeds"},
        {{"--seeds", "1-2"}, "--digest"},
        {{"--digest", "--seeds", "1-2", "--seed", "3"}, "--digest"},
        {{"--digest", "--seeds", "1-2", "--scale", "2"}, "--digest"},
        {{"--seed", "1", "--omit", "clouds"}, "clouds"},
        {{"--seed", "1", "--omit", "sky,"}, "--omit"},
        {{"--seed", "1", "-o", "picture.jpg"}, "picture.jpg"},
        {{"--seed", "1", "-o", ".png"}, ".png"},
        {{"--seed", "1", "-o", "./.png"}, "./.png"},
        {{"--seed", "1", "-o", "out/.raw"}, "out/.raw"},
        {{"--bad", "--help"}, "--bad"},
        {{"--seed", "1", "--size", "8192x8192", "--scale", "3"}, "16384"},
        {{"--seed", "1", "--size", "1x1025", "--scale", "16"}, "16384"},
        {{"--seed", "5", "--seed", "6"}, "--seed given twice"},
        {{"--seed", "5", "-o", "a.png", "--output", "b.png"}, "--output given twice"},
        {{"--seed", "5", "-o", "a.png", "-o", "a.png"}, "--output given twice"},
        {{"--seeds", "1-2", "--digest", "--digest"}, "--digest given twice"},
        {{"--seed", "1", "--omit", "sky", "--omit", "birds"}, "--omit given twice"},
        {{"--seeds", "1-2", "--out-dir", "a", "--out-dir", "b"}, "--out-dir given twice"},
        {{"--seed", "1", "--out-dir", "g"}, "--out-dir"},
        {{"--seeds", "1-2", "--out-dir", "g", "--digest"}, "--out-dir"},
        {{"--seeds", "1-2", "--out-dir", "g", "-o", "a.png"}, "--out-dir"},
        {{"--seeds", "1-2", "--out-dir", "g", "--gdi-script", "s"}, "--out-dir"},
        {{"--seeds", "1-2", "--out-dir", "g", "--size", "8192x10", "--scale", "3"}, "16384"},
        {{"--seeds", "1-2", "--out-dir"}, "--out-dir"},
        {{"--seed", "1", "--digest", "-o", "a.png"}, "--digest"},
        {{"--seed", "1", "--digest", "--scale", "2"}, "--digest"},
        {{"--seed", "1", "--fit", "0x5"}, "--fit takes WxH"},
        {{"--seed", "1", "--fit", "16385x1"}, "--fit takes WxH"},
        {{"--seed", "1", "--fit", "1280"}, "--fit takes WxH"},
        {{"--seed", "1", "--fit", "1280x1024", "--scale", "2"}, "without --size and --scale"},
        {{"--seed", "1", "--scale", "1", "--fit", "1280x1024"}, "without --size and --scale"},
        {{"--seed", "1", "--fit", "1280x1024", "--size", "570x190"}, "without --size and --scale"},
        {{"--seed", "1", "--fit", "8x8", "--digest"}, "--fit goes with one picture"},
        {{"--seeds", "1-2", "--out-dir", "g", "--fit", "8x8"}, "--fit goes with one picture"},
        {{"--seed", "1", "--fit", "8x8", "--fit", "9x9"}, "--fit given twice"},
        {{"--seed", "1", "--format", "jpg"}, "--format takes png, ppm or raw, not 'jpg'"},
        {{"--seed", "1", "--format", "PNG"}, "--format takes"},
        {{"--seed", "1", "-o", "/dev/stdout"}, "must end in .png, .ppm or .raw"},
        {{"--seed", "1", "-o", "a.png", "--format", "ppm"}, "--format ppm does not match"},
        {{"--seed", "1", "--format", "raw", "-o", "out/b.ppm"}, "out/b.ppm"},
        {{"--seed", "1", "--digest", "--format", "png"}, "--digest"},
        {{"--seeds", "1-2", "--digest", "--format", "png"}, "--digest"},
        {{"--seeds", "1-2", "--out-dir", "g", "--format", "ppm"}, "--out-dir"},
        {{"--seed", "1", "--format", "png", "--format", "png"}, "--format given twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Joined(c.args));
        const ParseResult parsed = ParseRenderCommand(c.args);
        EXPECT_FALSE(parsed.command);
        EXPECT_FALSE(parsed.error.empty());
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << parsed.error;
        EXPECT_NE(parsed.error.find(c.mentions), std::string::npos) << parsed.error;
    }
}

// Whether the synopsis text has option as a word of its own.
bool ShowsOption(const std::string& synopsis, const std::string& option) {
    for (std::size_t at = synopsis.find(option); at != std::string::npos;
         at = synopsis.find(option, at + 1)) {
        const std::size_t end = at + option.size();
        if (at > 0 && std::string_view(" [(").find(synopsis[at - 1]) != std::string_view::npos &&
            (end == synopsis.size() ||
             std::string_view(" ])\n").find(synopsis[end]) != std::string_view::npos)) {
            return true;
        }
    }
    return false;
}

// Every option the help explains is one the parser takes, and the synopsis above the
// explanations shows it.
TEST(RenderCommandTest, SynopsisShowsEveryExplainedOption) {
    const std::string usage = RenderUsage();
    const std::string synopsis = usage.substr(0, usage.find("\n\n"));
    std::size_t explained = 0;
    std::size_t line = usage.find("\n  -");
    while (line != std::string::npos) {
        const std::size_t start = line + 3;
        const std::string names = usage.substr(start, usage.find("  ", start) - start);
        std::size_t from = 0;
        while (from < names.size()) {
            const std::size_t comma = names.find(", ", from);
            const std::string entry = names.substr(from, comma - from);
            const std::string option = entry.substr(0, entry.find(' '));
            SCOPED_TRACE(option);
            ++explained;
            EXPECT_TRUE(ShowsOption(synopsis, option));
            EXPECT_NE(ParseRenderCommand({option}).error.find("unknown option"), 0u);
            from = comma == std::string::npos ? names.size() : comma + 2;
        }
        line = usage.find("\n  -", start);
    }
    EXPECT_EQ(explained, 15u);
    // --omit works with every way to name pictures, the folder of a sweep included.
    const std::size_t outDir = synopsis.find("--out-dir DIR");
    EXPECT_NE(synopsis.find("--omit", outDir), std::string::npos);
}

TEST(RenderCommandTest, OutputFormatFollowsTheFileName) {
    EXPECT_EQ(FormatForPath("out/scene.png"), ImageFormat::Png);
    EXPECT_EQ(FormatForPath("scene.ppm"), ImageFormat::Ppm);
    EXPECT_EQ(FormatForPath("scene.raw"), ImageFormat::Raw);
    EXPECT_FALSE(FormatForPath("scene.PNG") || FormatForPath("scene.png.txt") ||
                 FormatForPath("png"));
}

// Quoted paths reach a terminal: only printable, valid UTF-8 passes as it is.
TEST(RenderCommandTest, SanitisedTextIsPrintableUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"lake/\xc3\xa9t\xc3\xa9 \xe2\x82\xac\xf0\x9f\x8c\x8a.png",
         "lake/\xc3\xa9t\xc3\xa9 \xe2\x82\xac\xf0\x9f\x8c\x8a.png"},
        {"a\x1b[31m\n\x7f", "a?[31m??"},
        {"\xc2\x9b"
         "31m\xc2\x80\xc2\x9f\xc2\xa0",
         "\\x9b"
         "31m\\x80\\x9f\xc2\xa0"},
        {"\xff\xfe", "\\xff\\xfe"},
        {"\xc0\xaf", "\\xc0\\xaf"},                    // an overlong '/'
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},           // a surrogate
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},  // past U+10FFFF
        {"\xe2\x82", "\\xe2\\x82"},                    // cut short
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(Sanitised(text), shown);
    }
}

}  // namespace
}  // namespace vistrel
