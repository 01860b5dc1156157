#include "tools/vistrel-render/RenderCommand.h"

#include <limits>
#include <set>
#include <tuple>

#include "raster/Surface.h"
#include "tools/common/CommandLine.h"
#include "tools/common/OptionTable.h"

namespace vistrel {

namespace {

constexpr std::int64_t MaxOutputSide = 16384;

// What --format calls each format; a file of the format ends in a dot and its name.
constexpr std::pair<std::string_view, ImageFormat> FormatNames[] = {
    {"png", ImageFormat::Png},
    {"ppm", ImageFormat::Ppm},
    {"raw", ImageFormat::Raw},
};

std::optional<ImageFormat> FormatNamed(std::string_view name) {
    for (const auto& [formatName, format] : FormatNames) {
        if (name == formatName) {
            return format;
        }
    }
    return std::nullopt;
}

std::string_view NameOf(ImageFormat format) {
    for (const auto& [name, named] : FormatNames) {
        if (named == format) {
            return name;
        }
    }
    return {};
}

// The options in the order --help explains them.
const OptionTable& RenderOptions() {
    static const OptionTable table(
        {
            {.name = "--seed",
             .value = "S",
             .help = "seed the scene random source with S (0..4294967295)"},
            {.name = "--run-seed",
             .value = "R",
             .help = "the run seed of a viewer session (0..4294967295) ..."},
            {.name = "--scene",
             .value = "K",
             .help = "... and the number of the scene it shows (0..4294967295)"},
            {.name = "--output",
             .value = "FILE",
             .help = "write FILE; .png (indexed), .ppm or .raw (one byte a pixel, the\n"
                     "colour numbers); without -o the picture goes to standard output",
             .alias = "-o",
             .aliasInHelp = AliasInHelp::Instead},
            {.name = "--format",
             .value = "FORMAT",
             .help = "png, ppm or raw: the format of standard output (png by default)\n"
                     "and of a FILE whose name ends in none of .png, .ppm and .raw"},
            {.name = "--size",
             .value = "WxH",
             .help = "bitmap size, 1..8192 each (default " + std::to_string(PictureWidth) + "x" +
                     std::to_string(PictureHeight) + ")"},
            {.name = "--scale",
             .value = "N",
             .help = "enlarge N times by pixel replication, 1..16 (default 1)"},
            {.name = "--fit",
             .value = "WxH",
             .help = "a desktop background for a screen of W x H device pixels\n"
                     "(1..16384 each): the picture enlarged by the largest whole\n"
                     "scale that fits, centred on black; not with --size or --scale"},
            {.name = "--omit",
             .value = "LIST",
             .help = "leave out elements but keep their random draws; comma-separated:\n" +
                     ElementNameList()},
            {.name = "--gdi-script",
             .value = "F",
             .help = "also write the picture's drawing calls as a GDI reference script"},
            {.name = "--seeds",
             .value = "A-B",
             .help = "the scene seeds A to B, for --out-dir or --digest"},
            {.name = "--out-dir",
             .value = "DIR",
             .help = "write DIR/vistrel-S.png for each seed S, on all cores; DIR is\n"
                     "created if missing"},
            {.name = "--digest",
             .help = "print one line 'S HEX' for each seed instead of a picture, HEX the\n"
                     "64-bit FNV-1a of the colour numbers, row by row"},
            {.name = "--help",
             .help = "show this text",
             .alias = "-h",
             .aliasInHelp = AliasInHelp::Before,
             .endsCommandLine = true},
        },
        19);
    return table;
}

std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max) {
    const std::optional<std::uint64_t> value = ParseWhole<std::uint64_t>(text);
    return value && *value <= max ? value : std::nullopt;
}

constexpr std::uint64_t U32Max = std::numeric_limits<std::uint32_t>::max();

// W and H of "WxH", each 1..max.
std::optional<std::pair<std::int32_t, std::int32_t>> Dimensions(std::string_view v,
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

std::optional<std::pair<std::uint32_t, std::uint32_t>> Range(std::string_view v) {
    const std::size_t dash = v.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto a = ParseNumber(v.substr(0, dash), U32Max);
    const auto b = ParseNumber(v.substr(dash + 1), U32Max);
    if (!a || !b || *a > *b)
        return std::nullopt;
    return std::make_pair(static_cast<std::uint32_t>(*a), static_cast<std::uint32_t>(*b));
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : args(args) {}

    ParseResult Run() {
        const auto take = [this](std::string_view name, std::string_view value) {
            return Take(name, value);
        };
        if (Refusal refusal = RenderOptions().Read(args, take)) {
            return Fail(std::move(*refusal));
        }
        if (given.count("--help") != 0) {
            RenderCommand help;
            help.mode = RenderCommand::Mode::Help;
            return {help, {}};
        }
        return Finish();
    }

  private:
    Refusal Take(std::string_view name, std::string_view value) {
        given.insert(name);
        if (name == "--seed") {
            return Seed32(name, value, command.seed);
        }
        if (name == "--run-seed") {
            return Seed32(name, value, command.runSeed);
        }
        if (name == "--scene") {
            return Seed32(name, value, command.scene);
        }
        if (name == "--size") {
            return Size(value);
        }
        if (name == "--fit") {
            return Fit(value);
        }
        if (name == "--scale") {
            return Scale(value);
        }
        if (name == "--omit") {
            return Omit(value);
        }
        if (name == "--seeds") {
            return Seeds(value);
        }
        if (name == "--format") {
            return Format(value);
        }
        if (name == "--output") {
            command.output = value;
        } else if (name == "--out-dir") {
            command.outDir = value;
        } else if (name == "--gdi-script") {
            command.gdiScript = value;
        }
        // --digest and --help say all they say by being given.
        return std::nullopt;
    }

    ParseResult Finish() {
        const bool digest = given.count("--digest") != 0;
        if (command.fit && (given.count("--size") != 0 || given.count("--scale") != 0)) {
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
        if (digest &&
            (command.output || command.format || command.gdiScript || command.scale != 1)) {
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
        if (command.output) {
            const std::optional<ImageFormat> named = FormatForPath(*command.output);
            if (!named && !command.format) {
                return Fail("the output file must end in .png, .ppm or .raw: " +
                            Quoted(*command.output));
            }
            if (named && command.format && *named != *command.format) {
                return Fail("--format " + std::string(NameOf(*command.format)) +
                            " does not match the output file's name: " + Quoted(*command.output));
            }
        }
        if (digest) {
            command.mode = RenderCommand::Mode::Digest;
            command.firstSeed = command.lastSeed = command.PictureSeed();
        }
        return {command, {}};
    }

    ParseResult FinishSweep(bool digest, std::pair<std::uint32_t, std::uint32_t> range) {
        if (digest == command.outDir.has_value()) {
            return Fail("--seeds A-B goes with either --digest or --out-dir DIR");
        }
        if (command.seed || command.runSeed || command.scene || command.output || command.format ||
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
        command.firstSeed = range.first;
        command.lastSeed = range.second;
        return {command, {}};
    }

    bool ScaledTooLarge() const {
        return std::int64_t{command.width} * command.scale > MaxOutputSide ||
               std::int64_t{command.height} * command.scale > MaxOutputSide;
    }

    static Refusal Seed32(std::string_view option, std::string_view v,
                          std::optional<std::uint32_t>& into) {
        const auto n = ParseNumber(v, U32Max);
        if (!n) {
            return std::string(option) + " takes a whole number from 0 to 4294967295, not " +
                   Quoted(v);
        }
        into = static_cast<std::uint32_t>(*n);
        return std::nullopt;
    }

    Refusal Size(std::string_view v) {
        const auto size = Dimensions(v, Surface::MaxSide);
        if (!size) {
            return "--size takes WxH with W and H from 1 to 8192, not " + Quoted(v);
        }
        std::tie(command.width, command.height) = *size;
        return std::nullopt;
    }

    Refusal Fit(std::string_view v) {
        command.fit = Dimensions(v, MaxOutputSide);
        if (!command.fit) {
            return "--fit takes WxH with W and H from 1 to 16384, not " + Quoted(v);
        }
        return std::nullopt;
    }

    Refusal Scale(std::string_view v) {
        const auto n = ParseNumber(v, 16);
        if (!n || *n < 1) {
            return "--scale takes a whole number from 1 to 16, not " + Quoted(v);
        }
        command.scale = static_cast<std::int32_t>(*n);
        return std::nullopt;
    }

    Refusal Format(std::string_view v) {
        command.format = FormatNamed(v);
        if (!command.format) {
            return "--format takes png, ppm or raw, not " + Quoted(v);
        }
        return std::nullopt;
    }

    Refusal Seeds(std::string_view v) {
        seeds = Range(v);
        if (!seeds) {
            return "--seeds takes A-B with 0 <= A <= B <= 4294967295, not " + Quoted(v);
        }
        return std::nullopt;
    }

    Refusal Omit(std::string_view rest) {
        while (true) {
            const std::size_t comma = rest.find(',');
            const std::string_view name = rest.substr(0, comma);
            const auto element = ElementNamed(name);
            if (!element) {
                return "--omit: unknown element " + Quoted(name) + " (" + ElementNameList() + ")";
            }
            command.omitted.Add(*element);
            if (comma == std::string_view::npos)
                return std::nullopt;
            rest.remove_prefix(comma + 1);
        }
    }

    static ParseResult Fail(std::string message) { return {std::nullopt, std::move(message)}; }

    const std::vector<std::string>& args;
    std::set<std::string_view> given;  // the names of the options given so far
    std::optional<std::pair<std::uint32_t, std::uint32_t>> seeds;
    RenderCommand command;
};

}  // namespace

std::string RenderUsage() {
    return "usage: vistrel-render --seed S [-o FILE] [--format FORMAT] [--size WxH] [--scale N]\n"
           "                      [--omit LIST] [--gdi-script FILE]\n"
           "       vistrel-render --run-seed R --scene K [the same options]\n"
           "       vistrel-render (--seed S | --run-seed R --scene K) --digest [--size WxH]\n"
           "                      [--omit LIST]\n"
           "       vistrel-render --seed S --fit WxH [-o FILE] [--format FORMAT] [--omit LIST]\n"
           "       vistrel-render --seeds A-B --digest [--size WxH] [--omit LIST]\n"
           "       vistrel-render --seeds A-B --out-dir DIR [--size WxH] [--scale N]\n"
           "                      [--omit LIST]\n"
           "       vistrel-render -h | --help\n"
           "\n"
           "Renders Vistrel landscapes without a window.\n" +
           RenderOptions().Help() +
           "\n"
           "Files are replaced only when complete. Exit status: 0 done, 1 a write failed or\n"
           "memory ran out, 2 a bad command line.\n";
}

std::uint32_t RenderCommand::PictureSeed() const {
    return seed ? *seed : SeedOfScene(runSeed.value_or(0), scene.value_or(1));
}

ParseResult ParseRenderCommand(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

std::optional<ImageFormat> FormatForPath(const std::string& path) {
    // The name needs a part before the suffix, wherever its folder is ("./.png" has none).
    const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
    for (const auto& [suffix, format] : FormatNames) {
        if (name.size() > suffix.size() + 1 && name.ends_with(suffix) &&
            name[name.size() - suffix.size() - 1] == '.') {
            return format;
        }
    }
    return std::nullopt;
}

ImageFormat RenderCommand::PictureFormat() const {
    if (format) {
        return *format;
    }
    return output ? FormatForPath(*output).value_or(ImageFormat::Png) : ImageFormat::Png;
}

}  // namespace vistrel
