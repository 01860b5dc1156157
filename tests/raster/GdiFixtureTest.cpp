#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "raster/Digest.h"
#include "tests/raster/GdiReplay.h"

namespace vistrel::test {
namespace {

// What GDI painted for one case: the number of pixels that are not colour 0 and the FNV-1a of
// their "x y c\n" listing.
struct Painted {
    std::size_t count = 0;
    std::uint64_t digest = 0;
};

// One line of a fixture file: `<commands> : <count> <digest>`, ellipses adding the count and
// digest of the pen's pixels alone and, where GDI's fill went astray, `fill-defect`.
struct FixtureCase {
    std::size_t lineNumber = 0;
    std::string commands;
    Painted all;
    std::optional<Painted> penOnly;
    bool fillDefect = false;
};

struct Fixture {
    std::string setup;
    std::vector<FixtureCase> cases;
};

bool ParsePainted(const std::string& count, const std::string& hex, Painted& painted) {
    const auto [end, status] =
        std::from_chars(count.data(), count.data() + count.size(), painted.count);
    return status == std::errc() && end == count.data() + count.size() &&
           ParseDigest(hex, painted.digest);
}

std::optional<std::string> ParseCase(const std::string& line, FixtureCase& c) {
    const std::size_t colon = line.find(" : ");
    if (colon == std::string::npos) {
        return "no \" : \" between commands and result";
    }
    c.commands = line.substr(0, colon);
    std::istringstream result(line.substr(colon + 3));
    std::vector<std::string> words;
    for (std::string word; result >> word;) {
        words.push_back(word);
    }
    c.fillDefect = words.size() == 5 && words[4] == "fill-defect";
    if (words.size() != 2 && words.size() != 4 && !c.fillDefect) {
        return "the result is not <count> <digest> [<pen count> <pen digest> [fill-defect]]";
    }
    if (!ParsePainted(words[0], words[1], c.all)) {
        return "\"" + words[0] + " " + words[1] + "\" is not a pixel count and 16-digit digest";
    }
    if (words.size() >= 4) {
        Painted pen;
        if (!ParsePainted(words[2], words[3], pen)) {
            return "\"" + words[2] + " " + words[3] + "\" is not a pen pixel count and digest";
        }
        c.penOnly = pen;
    }
    return std::nullopt;
}

std::optional<std::string> ParseFixture(const std::vector<std::string>& lines, Fixture& fixture) {
    const std::string setupTag = "# setup: ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind(setupTag, 0) == 0) {
            fixture.setup = line.substr(setupTag.size());
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        FixtureCase c;
        c.lineNumber = i + 1;
        if (auto error = ParseCase(line, c)) {
            return "line " + std::to_string(i + 1) + ": " + *error;
        }
        fixture.cases.push_back(std::move(c));
    }
    if (fixture.setup.empty()) {
        return "no \"# setup: \" line";
    }
    if (fixture.cases.empty()) {
        return "no cases";
    }
    return std::nullopt;
}

// Plays one case on a fresh surface; says how our picture differs from GDI's, or nothing.
std::optional<std::string> DifferenceFromGdi(const std::string& setup, const FixtureCase& c) {
    GdiReplay replay;
    if (auto error = replay.Play(setup)) {
        return "set-up " + *error;
    }
    if (auto error = replay.Play(c.commands)) {
        return *error;
    }
    if (replay.Picture() == nullptr) {
        return "no size command, so nothing to paint on";
    }
    // Where GDI's brush strayed, only its outline can be trusted.
    const bool penOnly = c.fillDefect;
    const Painted& gdi = penOnly ? *c.penOnly : c.all;
    const Surface& picture = *replay.Picture();
    const PointListing ours =
        ListPoints(picture, penOnly ? std::optional(replay.PenColour()) : std::nullopt);
    const std::uint64_t ourDigest = Fnv1aDigest(std::as_bytes(std::span(ours.text)));
    if (ours.count == gdi.count && ourDigest == gdi.digest) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << (penOnly ? "pen pixels only (GDI's fill is unreliable here): " : "") << "GDI painted "
         << gdi.count << " pixels, digest " << DigestHex(gdi.digest) << "; we paint " << ours.count
         << ", digest " << DigestHex(ourDigest) << "\n"
         << "our pixels, as runs x0-x1:colour along each row:\n"
         << DescribeRuns(picture);
    return text.str();
}

struct FixtureClass {
    const char* name;
    const char* file;
};

void PrintTo(const FixtureClass& c, std::ostream* out) {
    *out << c.name;
}

class GdiFixtureTest : public testing::TestWithParam<FixtureClass> {};

TEST_P(GdiFixtureTest, EveryCasePaintsWhatGdiPainted) {
    const FixtureClass& fixtureClass = GetParam();
    SCOPED_TRACE(fixtureClass.name);
    const std::string path = std::string(VISTREL_GDI_FIXTURES) + "/" + fixtureClass.file;
    std::vector<std::string> lines;
    std::string readError;
    ASSERT_TRUE(ReadTextLines(path, lines, readError)) << readError;
    Fixture fixture;
    const auto parseError = ParseFixture(lines, fixture);
    ASSERT_FALSE(parseError) << fixtureClass.file << ": " << *parseError;

    const std::size_t played = fixture.cases.size();
    std::size_t identical = 0;
    std::vector<std::size_t> differingLines;
    std::string firstDifference;
    for (const FixtureCase& c : fixture.cases) {
        const auto difference = DifferenceFromGdi(fixture.setup, c);
        if (!difference) {
            ++identical;
            continue;
        }
        if (differingLines.empty()) {
            firstDifference = std::string(fixtureClass.file) + " line " +
                              std::to_string(c.lineNumber) + ": " + c.commands + "\n" + *difference;
        }
        differingLines.push_back(c.lineNumber);
    }

    std::ostringstream rate;
    rate << identical << "/" << played << " (" << std::fixed << std::setprecision(2)
         << 100.0 * static_cast<double>(identical) / static_cast<double>(played) << " %)";
    RecordProperty("cases", static_cast<int>(played));
    RecordProperty("identical", static_cast<int>(identical));
    RecordProperty("match_rate", rate.str());
    std::ostringstream others;
    for (std::size_t k = 1; k < differingLines.size() && k <= 20; ++k) {
        others << " " << differingLines[k];
    }
    EXPECT_EQ(identical, played) << fixtureClass.name << ": " << rate.str()
                                 << " cases identical\nfirst differing case, " << firstDifference
                                 << "further differing lines:" << others.str();
}

INSTANTIATE_TEST_SUITE_P(Classes, GdiFixtureTest,
                         testing::Values(FixtureClass{"Lines", "lines.txt.gz"},
                                         FixtureClass{"Ellipses", "ellipses.txt.gz"},
                                         FixtureClass{"GullArcs", "arcs_gull.txt.gz"},
                                         FixtureClass{"TuftArcs", "arcs_tuft.txt.gz"},
                                         FixtureClass{"RayArcs", "arcs_rays.txt.gz"},
                                         FixtureClass{"FillsAndPlots", "fills_plots.txt.gz"}),
                         [](const testing::TestParamInfo<FixtureClass>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vistrel::test
