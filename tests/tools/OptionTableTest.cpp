#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/CommandLineSupport.h"
#include "tools/common/OptionTable.h"

namespace vistrel {
namespace {

using test::Args;
using test::Joined;

// A command with every kind of option the tools declare.
const OptionTable& Table() {
    static const OptionTable table(
        {
            {.name = "--size", .value = "WxH", .help = "how large"},
            {.name = "--output",
             .value = "FILE",
             .help = "where it goes\nand how",
             .alias = "-o",
             .aliasInHelp = AliasInHelp::Instead},
            {.name = "--window-id",
             .value = "ID",
             .help = "into that window",
             .alias = "-window-id",
             .aliasInHelp = AliasInHelp::Hidden,
             .exclusiveGroup = 1},
            {.name = "--root", .help = "into the root", .alias = "-root", .exclusiveGroup = 1},
            {.name = "--quiet",
             .help = "say nothing",
             .alias = "-q",
             .aliasInHelp = AliasInHelp::Hidden},
            {.name = "--help",
             .help = "show this text",
             .alias = "-h",
             .aliasInHelp = AliasInHelp::Before,
             .endsCommandLine = true},
        },
        17);
    return table;
}

// What the command was handed, "name=value" each, and " | " with the refusal, if any. A value
// "no" is refused by the command itself.
std::string Read(const Args& args) {
    std::string taken;
    const auto refusal =
        Table().Read(args, [&](std::string_view name, std::string_view value) -> Refusal {
            taken += (taken.empty() ? "" : " ") + std::string(name) + "=" + std::string(value);
            if (value == "no") {
                return std::string(name) + " refuses 'no'";
            }
            return std::nullopt;
        });
    return taken + (refusal ? " | " + *refusal : "");
}

TEST(OptionTableTest, ReadsOptionsInOrderUntilTheFirstRefusal) {
    const std::pair<Args, std::string> cases[] = {
        {{}, ""},
        {{"--size", "3x4", "-o", "a.png", "-q"}, "--size=3x4 --output=a.png --quiet="},
        {{"--size=3x4", "--output=a=b", "-window-id", "7"},
         "--size=3x4 --output=a=b --window-id=7"},
        {{"--size="}, "--size="},
        {{"--size", "--root"}, "--size=--root"},
        {{"--size"}, " | --size needs a value"},
        {{"-o"}, " | -o needs a value"},
        {{"--root", "-window-id"},
         "--root= | give only one of --window-id and --root, not --root and --window-id"},
        {{"-window-id"}, " | --window-id needs a value"},
        {{"-o", "a", "--output", "b"}, "--output=a | --output given twice"},
        {{"-root", "--root"}, "--root= | --root given twice"},
        {{"--siz", "1x1"}, " | unknown option '--siz' (see --help)"},
        {{"a.png"}, " | unknown option 'a.png' (see --help)"},
        {{"-o=a.png"}, " | unknown option '-o=a.png' (see --help)"},
        {{"--quiet=yes"}, " | unknown option '--quiet=yes' (see --help)"},
        {{"--quiet", "--x\x1b[1m"}, "--quiet= | unknown option '--x?[1m' (see --help)"},
        {{"--size", "no", "--frobnicate"}, "--size=no | --size refuses 'no'"},
        {{"-q", "-h", "--frobnicate", "-q"}, "--quiet= --help="},
    };
    for (const auto& [args, expected] : cases) {
        SCOPED_TRACE(Joined(args));
        EXPECT_EQ(Read(args), expected);
    }
}

TEST(OptionTableTest, HelpListsTheNamesAndTheirExplanationsInColumns) {
    // Two spaces at the least between a name and its explanation.
    EXPECT_EQ(Table().Help(),
              "  --size WxH     how large\n"
              "  -o FILE        where it goes\n"
              "                 and how\n"
              "  --window-id ID\n"
              "                 into that window\n"
              "  --root, -root  into the root\n"
              "  --quiet        say nothing\n"
              "  -h, --help     show this text\n");
}

}  // namespace
}  // namespace vistrel
