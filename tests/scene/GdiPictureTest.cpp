#include <gtest/gtest.h>

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "scene/SceneImage.h"
#include "tests/raster/GdiReplay.h"
#include "tests/scene/SceneTestSupport.h"

namespace vistrel::test {
namespace {

// A scene seed and the digest of the picture GDI paints from our drawing calls for it.
struct PinnedPicture {
    std::size_t lineNumber = 0;
    std::uint32_t seed = 0;
    std::uint64_t digest = 0;
};

std::optional<std::string> ParsePinnedPictures(const std::vector<std::string>& lines,
                                               std::vector<PinnedPicture>& pictures) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] == '#') {
            continue;
        }
        std::istringstream in(lines[i]);
        std::string seed;
        std::string hex;
        std::string extra;
        PinnedPicture p;
        p.lineNumber = i + 1;
        const bool split = (in >> seed >> hex) && !(in >> extra);
        const auto [seedEnd, seedStatus] =
            std::from_chars(seed.data(), seed.data() + seed.size(), p.seed);
        if (!split || seedStatus != std::errc() || seedEnd != seed.data() + seed.size() ||
            p.seed > 32767 || !ParseDigest(hex, p.digest)) {
            return "line " + std::to_string(i + 1) + ": not <seed 0..32767> <16-digit digest>";
        }
        pictures.push_back(p);
    }
    if (pictures.empty()) {
        return "no pictures";
    }
    return std::nullopt;
}

TEST(GdiPictureTest, EverySeedPaintsWhatGdiPaintedFromOurCalls) {
    const std::string path = std::string(VISTREL_GDI_FIXTURES) + "/pictures.txt";
    std::vector<std::string> lines;
    std::string readError;
    ASSERT_TRUE(ReadTextLines(path, lines, readError)) << readError;
    std::vector<PinnedPicture> pictures;
    const auto parseError = ParsePinnedPictures(lines, pictures);
    ASSERT_FALSE(parseError) << "pictures.txt: " << *parseError;

    const std::size_t played = pictures.size();
    std::size_t identical = 0;
    std::size_t listed = 0;
    std::ostringstream differing;
    for (const PinnedPicture& p : pictures) {
        const auto bitmap = RenderSeed(p.seed);
        ASSERT_NE(bitmap, nullptr);
        const std::uint64_t ours = PixelDigest(*bitmap);
        if (ours == p.digest) {
            ++identical;
        } else if (++listed <= 20) {
            differing << "\n  seed " << p.seed << " (line " << p.lineNumber << "): GDI "
                      << DigestHex(p.digest) << ", ours " << DigestHex(ours);
        }
    }
    RecordProperty("pictures", static_cast<int>(played));
    RecordProperty("identical", static_cast<int>(identical));
    EXPECT_EQ(identical, played) << identical << " of " << played
                                 << " pictures identical; the first that differ (scripts/"
                                    "gdi-compare-pictures.sh shows their pixels):"
                                 << differing.str();
}

}  // namespace
}  // namespace vistrel::test
