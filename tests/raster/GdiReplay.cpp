#include "tests/raster/GdiReplay.h"

#include <zlib.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

namespace vistrel::test {

namespace {

std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string_view::npos;) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool ParseInt32(std::string_view token, std::int32_t& value) {
    std::int64_t wide = 0;
    const auto [end, status] = std::from_chars(token.data(), token.data() + token.size(), wide);
    if (status != std::errc() || end != token.data() + token.size() ||
        wide < std::numeric_limits<std::int32_t>::min() ||
        wide > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    value = static_cast<std::int32_t>(wide);
    return true;
}

struct CommandShape {
    std::string_view name;
    std::size_t arguments;
};

constexpr std::array<CommandShape, 9> Commands = {{
    {"size", 2},
    {"clip", 4},
    {"pen", 1},
    {"brush", 1},
    {"line", 4},
    {"ellipse", 4},
    {"arc", 8},
    {"fill", 3},
    {"plot", 3},
}};

}  // namespace

std::optional<std::string> GdiReplay::Play(std::string_view commands) {
    for (const std::string_view command : Split(commands, " ; ")) {
        if (auto error = PlayOne(command)) {
            return "\"" + std::string(command) + "\": " + *error;
        }
    }
    return std::nullopt;
}

std::optional<std::string> GdiReplay::PlayOne(std::string_view command) {
    const std::vector<std::string_view> tokens = Split(command, " ");
    const std::string_view name = tokens.front();
    const CommandShape* shape = nullptr;
    for (const CommandShape& s : Commands) {
        if (s.name == name) {
            shape = &s;
        }
    }
    if (shape == nullptr) {
        return "unknown command";
    }
    if (tokens.size() != shape->arguments + 1) {
        return "takes " + std::to_string(shape->arguments) + " numbers";
    }
    std::array<std::int32_t, 8> a{};
    for (std::size_t i = 0; i < shape->arguments; ++i) {
        if (!ParseInt32(tokens[i + 1], a[i])) {
            return "\"" + std::string(tokens[i + 1]) + "\" is not a 32-bit integer";
        }
    }
    if (name == "size") {
        surface = Surface::Create(a[0], a[1]);
        return surface ? std::nullopt : std::optional<std::string>("no surface of that size");
    }
    if (!surface) {
        return "no surface yet";
    }
    if (name == "clip") {
        surface->IntersectClipRect(a[0], a[1], a[2], a[3]);
    } else if (name == "pen") {
        pen.colour = ToColourIndex(a[0]);
        surface->SelectPen(&pen);
    } else if (name == "brush") {
        brush.colour = ToColourIndex(a[0]);
        surface->SelectBrush(&brush);
    } else if (name == "line") {
        surface->MoveTo(a[0], a[1]);
        surface->LineTo(a[2], a[3]);
    } else if (name == "ellipse") {
        surface->Ellipse(a[0], a[1], a[2], a[3]);
    } else if (name == "arc") {
        surface->Arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
    } else if (name == "fill") {
        surface->FloodFill(a[0], a[1], ToColourIndex(a[2]));
    } else {
        surface->SetPixel(a[0], a[1], ToColourIndex(a[2]));
    }
    return std::nullopt;
}

namespace {

// Calls visit(x, c) for every pixel of the row that is not colour 0, skipping black pixels eight
// at a time: most of a fixture's picture is black.
template <typename Visit>
void VisitLitPixels(const ColourIndex* row, std::int32_t width, Visit&& visit) {
    std::int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, row + x, sizeof eight);
        if (eight == 0) {
            continue;
        }
        for (std::int32_t i = x; i < x + 8; ++i) {
            if (row[i] != 0) {
                visit(i, row[i]);
            }
        }
    }
    for (; x < width; ++x) {
        if (row[x] != 0) {
            visit(x, row[x]);
        }
    }
}

const ColourIndex* RowOf(const Surface& surface, std::int32_t y) {
    return surface.Pixels().data() +
           static_cast<std::size_t>(y) * static_cast<std::size_t>(surface.Width());
}

}  // namespace

PointListing ListPoints(const Surface& surface, std::optional<ColourIndex> only) {
    PointListing listing;
    char entry[40];
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        VisitLitPixels(RowOf(surface, y), surface.Width(), [&](std::int32_t x, ColourIndex c) {
            if (!only || c == *only) {
                const int n = std::snprintf(entry, sizeof entry, "%d %d %d\n", x, y, c);
                listing.text.append(entry, static_cast<std::size_t>(n));
                ++listing.count;
            }
        });
    }
    return listing;
}

std::string DescribeRuns(const Surface& surface) {
    std::string text;
    for (std::int32_t y = 0; y < surface.Height(); ++y) {
        std::string row;
        std::int32_t runStart = -1;
        std::int32_t runEnd = -1;
        int runColour = -1;
        auto endRun = [&] {
            if (runStart >= 0) {
                row += " " + std::to_string(runStart) + "-" + std::to_string(runEnd) + ":" +
                       std::to_string(runColour);
            }
        };
        VisitLitPixels(RowOf(surface, y), surface.Width(), [&](std::int32_t x, ColourIndex c) {
            if (x != runEnd + 1 || c != runColour) {
                endRun();
                runStart = x;
                runColour = c;
            }
            runEnd = x;
        });
        endRun();
        if (!row.empty()) {
            text += "y " + std::to_string(y) + ":" + row + "\n";
        }
    }
    return text.empty() ? "(none)\n" : text;
}

bool ParseDigest(std::string_view hex, std::uint64_t& digest) {
    const auto [end, status] = std::from_chars(hex.data(), hex.data() + hex.size(), digest, 16);
    return hex.size() == 16 && status == std::errc() && end == hex.data() + hex.size();
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines, std::string& error) {
    // gzopen reads a file that is not compressed as it is.
    const std::unique_ptr<gzFile_s, int (*)(gzFile)> file(gzopen(path.c_str(), "rb"), gzclose);
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    lines.clear();
    std::string line;
    char chunk[4096];
    while (gzgets(file.get(), chunk, sizeof chunk) != nullptr) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    int status = Z_OK;
    const char* message = gzerror(file.get(), &status);
    if (status != Z_OK && status != Z_STREAM_END) {
        error = "cannot read " + path + ": " + message;
        return false;
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return true;
}

}  // namespace vistrel::test
