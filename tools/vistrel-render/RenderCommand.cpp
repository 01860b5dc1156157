#include "tools/vistrel-render/RenderCommand.h"

#include <limits>
#include <set>
#include <tuple>

#include "raster/Surface.h"
#include "scene/SceneRng.h"
#include "tools/common/CommandLine.h"

namespace vistrel {

std::string RenderUsage() {
    return "usage: vistrel-render --seed S [-o FILE] [--size WxH] [--scale N] [--omit LIST]\n"
           "                      [--gdi-script FILE]\n"
           "       vistrel-render --run-seed R --scene K [the same options]\n"
           "       vistrel-render (--seed S | --run-seed R --scene K) --digest [--size WxH]\n"
           "                      [--omit LIST]\n"
           "       vistrel-render --seed S --fit WxH [-o FILE] [--omit LIST]\n"
           "       vistrel-render --seeds A-B --digest [--size WxH] [--omit LIST]\n"
           "       vistrel-render --seeds A-B --out-dir DIR [--size WxH] [--scale N]\n"
           "                      [--omit LIST]\n"
           "       vistrel-render -h | --help\n"
           "\n"
           "Renders Vistrel landscapes without a window.\n"
           "  --seed S         seed the scene random source with S (0..4294967295)\n"
           "  --run-seed R     the run seed of a viewer session (0..4294967295) ...\n"
           "  --scene K        ... and the number of the scene it shows (0..4294967295)\n"
           "  -o FILE          write FILE; .png (indexed), .ppm or .raw (one byte a pixel, the\n"
           "                   colour numbers); without -o a PNG goes to standard output\n"
           "  --size WxH       bitmap size, 1..8192 each (default 570x190)\n"
           "  --scale N        enlarge N times by pixel replication, 1..16 (default 1)\n"
           "  --fit WxH        a desktop background for a screen of W x H device pixels\n"
           "                   (1..16384 each): the picture enlarged by the largest whole\n"
           "                   scale that fits, centred on black; not with --size or --scale\n"
           "  --omit LIST      leave out elements but keep their random draws; comma-separated:\n"
           "                   " +
           ElementNameList() +
           "\n"
           "  --gdi-script F   also write the picture's drawing calls as a GDI reference script\n"
           "  --seeds A-B      the scene seeds A to B, for --out-dir or --digest\n"
           "  --out-dir DIR    write DIR/vistrel-S.png for each seed S, on all cores; DIR is\n"
           "                   created if missing\n"
           "  --digest         print one line 'S HEX' for each seed instead of a picture, HEX the\n"
           "                   64-bit FNV-1a of the colour numbers, row by row\n"
           "  -h, --help       show this text\n"
           "\n"
           "Files are replaced only when complete. Exit status: 0 done, 1 a write failed or\n"
           "memory ran out, 2 a bad command line.\n";
}

namespace {

constexpr std::int64_t MaxOutputSide = 16384;

std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max) {
    const std::optional<std::uint64_t> value = ParseWhole<std::uint64_t>(text);
    return value && *value <= max ? value : std::nullopt;
}

constexpr std::uint64_t U32Max = std::numeric_limits<std::uint32_t>::max();

// The names of an option, the first as messages use it.
constexpr std::pair<std::string_view, std::string_view> Aliases[] = {
    {"--output", "-o"},
    {"--help", "-h"},
};

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : args(args) {}

    ParseResult Run() {
        bool digest = false;
        std::optional<std::pair<std::uint32_t, std::uint32_t>> seeds;
        for (index = 0; index < args.size(); ++index) {
            const std::string& a = args[index];
            if (a.rfind('-', 0) == 0 &&
                !seen.insert(std::string(CanonicalName(a, Aliases))).second) {
                return Fail(std::string(CanonicalName(a, Aliases)) + " given twice");
            }
            if (a == "--help" || a == "-h") {
                RenderCommand help;
                help.mode = RenderCommand::Mode::Help;
                return {help, {}};
            }
            if (a == "--digest") {
                digest = true;
            } else if (a == "--seed") {
                if (!Seed32("--seed", command.seed))
                    return Fail();
            } else if (a == "--run-seed") {
                if (!Seed32("--run-seed", command.runSeed))
                    return Fail();
            } else if (a == "--scene") {
                if (!Seed32("--scene", command.scene))
                    return Fail();
            } else if (a == "-o" || a == "--output") {
                const std::string* v = Value(a);
                if (v == nullptr)
                    return Fail();
                command.output = *v;
            } else if (a == "--out-dir") {
                const std::string* v = Value(a);
                if (v == nullptr)
                    return Fail();
                command.outDir = *v;
            } else if (a == "--gdi-script") {
                const std::string* v = Value(a);
                if (v == nullptr)
                    return Fail();
                command.gdiScript = *v;
            } else if (a == "--size") {
                if (!Size())
                    return Fail();
            } else if (a == "--fit") {
                if (!Fit())
                    return Fail();
            } else if (a == "--scale") {
                const std::string* v = Value(a);
                if (v == nullptr)
                    return Fail();
                const auto n = ParseNumber(*v, 16);
                if (!n || *n < 1)
                    return Fail("--scale takes a whole number from 1 to 16, not " + Quoted(*v));
                command.scale = static_cast<std::int32_t>(*n);
            } else if (a == "--omit") {
                if (!Omit())
                    return Fail();
            } else if (a == "--seeds") {
                const std::string* v = Value(a);
                if (v == nullptr)
                    return Fail();
                seeds = Range(*v);
                if (!seeds)
                    return Fail("--seeds takes A-B with 0 <= A <= B <= 4294967295, not " +
                                Quoted(*v));
            } else {
                return Fail("unknown option " + Quoted(a) + " (see --help)");
            }
        }
        return Finish(digest, seeds);
    }

  private:
    ParseResult Finish(bool digest, std::optional<std::pair<std::uint32_t, std::uint32_t>> seeds) {
        if (command.fit && (seen.count("--size") != 0 || seen.count("--scale") != 0)) {
            return Fail(
                "--fit sets the size and the scale itself: give it without --size and "
                "--scale");
        }
        if (command.fit && (seeds || digest)) {
            return Fail("--fit goes with one picture: --seed S, or --run-seed R with --scene K");
        }
        if (seeds) {
            return FinishSweep(digest, *seeds);
        }
        if (command.outDir) {
            return Fail("--out-dir goes with --seeds A-B");
        }
        if (digest && (command.output || command.gdiScript || command.scale != 1)) {
            return Fail("--digest takes only the seed, --size and --omit");
        }
        if (command.seed && (command.runSeed || command.scene)) {
            return Fail("give either --seed or --run-seed with --scene, not both");
        }
        if (!command.seed && !(command.runSeed && command.scene)) {
            return Fail(
                "say which picture: --seed S, or --run-seed R with --scene K, or --seeds A-B");
        }
        if (ScaledTooLarge()) {
            return Fail("the scaled picture must be at most 16384 pixels on each side");
        }
        if (command.output && !FormatForPath(*command.output)) {
            return Fail("the output file must end in .png, .ppm or .raw: " +
                        Quoted(*command.output));
        }
        if (digest) {
            command.mode = RenderCommand::Mode::Digest;
            command.firstSeed = command.lastSeed = command.PictureSeed();
        }
        return {command, {}};
    }

    ParseResult FinishSweep(bool digest, std::pair<std::uint32_t, std::uint32_t> seeds) {
        if (digest == command.outDir.has_value()) {
            return Fail("--seeds A-B goes with either --digest or --out-dir DIR");
        }
        if (command.seed || command.runSeed || command.scene || command.output ||
            command.gdiScript) {
            return Fail(digest ? "--digest with --seeds takes only --size and --omit"
                               : "--out-dir takes only --seeds, --size, --scale and --omit");
        }
        if (digest && command.scale != 1) {
            return Fail("--digest takes no --scale: the digest is of the picture as rendered");
        }
        if (ScaledTooLarge()) {
            return Fail("the scaled picture must be at most 16384 pixels on each side");
        }
        command.mode = digest ? RenderCommand::Mode::Digest : RenderCommand::Mode::OutDir;
        command.firstSeed = seeds.first;
        command.lastSeed = seeds.second;
        return {command, {}};
    }

    bool ScaledTooLarge() const {
        return std::int64_t{command.width} * command.scale > MaxOutputSide ||
               std::int64_t{command.height} * command.scale > MaxOutputSide;
    }

    const std::string* Value(const std::string& option) {
        if (index + 1 >= args.size()) {
            error = option + " needs a value";
            return nullptr;
        }
        return &args[++index];
    }

    bool Seed32(const std::string& option, std::optional<std::uint32_t>& into) {
        const std::string* v = Value(option);
        if (v == nullptr)
            return false;
        const auto n = ParseNumber(*v, U32Max);
        if (!n) {
            error = option + " takes a whole number from 0 to 4294967295, not " + Quoted(*v);
            return false;
        }
        into = static_cast<std::uint32_t>(*n);
        return true;
    }

    // W and H of "WxH", each 1..max.
    static std::optional<std::pair<std::int32_t, std::int32_t>> Dimensions(std::string_view v,
                                                                           std::uint64_t max) {
        const std::size_t x = v.find('x');
        if (x == std::string_view::npos) {
            return std::nullopt;
        }
        const auto w = ParseNumber(v.substr(0, x), max);
        const auto h = ParseNumber(v.substr(x + 1), max);
        if (!w || !h || *w < 1 || *h < 1) {
            return std::nullopt;
        }
        return std::make_pair(static_cast<std::int32_t>(*w), static_cast<std::int32_t>(*h));
    }

    bool Size() {
        const std::string* v = Value("--size");
        if (v == nullptr)
            return false;
        const auto size = Dimensions(*v, Surface::MaxSide);
        if (!size) {
            error = "--size takes WxH with W and H from 1 to 8192, not " + Quoted(*v);
            return false;
        }
        std::tie(command.width, command.height) = *size;
        return true;
    }

    bool Fit() {
        const std::string* v = Value("--fit");
        if (v == nullptr)
            return false;
        command.fit = Dimensions(*v, MaxOutputSide);
        if (!command.fit) {
            error = "--fit takes WxH with W and H from 1 to 16384, not " + Quoted(*v);
            return false;
        }
        return true;
    }

    bool Omit() {
        const std::string* v = Value("--omit");
        if (v == nullptr)
            return false;
        std::string_view rest = *v;
        while (true) {
            const std::size_t comma = rest.find(',');
            const std::string_view name = rest.substr(0, comma);
            const auto element = ElementNamed(name);
            if (!element) {
                error = "--omit: unknown element " + Quoted(name) + " (" + ElementNameList() + ")";
                return false;
            }
            command.omitted.Add(*element);
            if (comma == std::string_view::npos)
                return true;
            rest.remove_prefix(comma + 1);
        }
    }

    static std::optional<std::pair<std::uint32_t, std::uint32_t>> Range(std::string_view v) {
        const std::size_t dash = v.find('-');
        if (dash == std::string_view::npos)
            return std::nullopt;
        const auto a = ParseNumber(v.substr(0, dash), U32Max);
        const auto b = ParseNumber(v.substr(dash + 1), U32Max);
        if (!a || !b || *a > *b)
            return std::nullopt;
        return std::make_pair(static_cast<std::uint32_t>(*a), static_cast<std::uint32_t>(*b));
    }

    ParseResult Fail(std::string message) {
        error = std::move(message);
        return Fail();
    }
    ParseResult Fail() { return {std::nullopt, error}; }

    const std::vector<std::string>& args;
    std::size_t index = 0;
    std::set<std::string> seen;
    RenderCommand command;
    std::string error;
};

}  // namespace

std::uint32_t RenderCommand::PictureSeed() const {
    if (seed) {
        return *seed;
    }
    SceneRng rng;
    SceneSeed(rng, runSeed.value_or(0), scene.value_or(1));
    return rng.State();
}

ParseResult ParseRenderCommand(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

std::optional<ImageFormat> FormatForPath(const std::string& path) {
    // The name needs a part before the suffix, wherever its folder is ("./.png" has none).
    const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
    auto endsWith = [&](std::string_view suffix) {
        return name.size() > suffix.size() && name.ends_with(suffix);
    };
    if (endsWith(".png"))
        return ImageFormat::Png;
    if (endsWith(".ppm"))
        return ImageFormat::Ppm;
    if (endsWith(".raw"))
        return ImageFormat::Raw;
    return std::nullopt;
}

}  // namespace vistrel
