#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scene/Picture.h"
#include "scene/SceneElements.h"
#include "scene/SceneImage.h"

namespace vistrel {

// One invocation of the renderer, as its command line asks for it.
struct RenderCommand {
    enum class Mode { Help, Picture, Digest, OutDir };
    Mode mode = Mode::Picture;

    // Picture mode: either a scene seed, or a run seed with a scene number.
    std::optional<std::uint32_t> seed;
    std::optional<std::uint32_t> runSeed;
    std::optional<std::uint32_t> scene;

    // Digest and out-dir modes: the seeds first..last.
    std::uint32_t firstSeed = 0;
    std::uint32_t lastSeed = 0;

    std::int32_t width = PictureWidth;
    std::int32_t height = PictureHeight;
    std::int32_t scale = 1;
    // --fit WxH: the picture as a background for a screen of that many device pixels, enlarged
    // by the largest whole scale that fits and centred on black.
    std::optional<std::pair<std::int32_t, std::int32_t>> fit;
    SceneElements omitted;
    std::optional<std::string> output;
    // --format: how the picture is written where no file's name says it.
    std::optional<ImageFormat> format;
    std::optional<std::string> gdiScript;
    std::optional<std::string> outDir;

    // The scene seed the picture is painted from.
    std::uint32_t PictureSeed() const;
    // The format the picture is written in: --format's, the output file's or PNG.
    ImageFormat PictureFormat() const;
};

struct ParseResult {
    std::optional<RenderCommand> command;
    std::string error;  // one line, set when command is empty
};

ParseResult ParseRenderCommand(const std::vector<std::string>& args);

// The format an output file's name asks for, if it names one.
std::optional<ImageFormat> FormatForPath(const std::string& path);

// What --help prints.
std::string RenderUsage();

}  // namespace vistrel
