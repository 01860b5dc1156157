// The render tool's command line: the fuzzer's bytes are split at each zero byte into arguments.
// Parsing never crashes and ends either in a command that the tool can carry out or in an error
// of one printable line.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "raster/Surface.h"
#include "tools/vistrel-render/RenderCommand.h"

namespace vistrel {
namespace {

bool IsOneLine(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

void CheckScale(const RenderCommand& command) {
    Require(InRange(command.scale, 1, 16), "a scale outside 1..16 was accepted");
    Require(std::int64_t{command.width} * command.scale <= 16384 &&
                std::int64_t{command.height} * command.scale <= 16384,
            "a scaled picture over 16384 pixels a side was accepted");
}

// The picture's format is said once at least, and never twice over in different words.
void CheckFormat(const RenderCommand& command) {
    const std::optional<ImageFormat> named =
        command.output ? FormatForPath(*command.output) : std::nullopt;
    Require(!command.output || named || command.format,
            "an output without a known format was accepted");
    Require(!named || !command.format || named == command.format,
            "a --format unlike the output file's name was accepted");
}

void CheckCommand(const RenderCommand& command) {
    using Mode = RenderCommand::Mode;
    if (command.mode == Mode::Help) {
        return;
    }
    Require(
        InRange(command.width, 1, Surface::MaxSide) && InRange(command.height, 1, Surface::MaxSide),
        "a picture size outside 1..8192 was accepted");
    Require(!command.outDir || command.mode == Mode::OutDir, "an out-dir was accepted elsewhere");
    switch (command.mode) {
        case Mode::Digest:
            Require(command.firstSeed <= command.lastSeed, "a descending seed range was accepted");
            Require(!command.output && !command.format && !command.gdiScript && command.scale == 1,
                    "a digest was accepted with picture options");
            return;
        case Mode::OutDir:
            Require(command.firstSeed <= command.lastSeed, "a descending seed range was accepted");
            Require(command.outDir && !command.output && !command.format && !command.gdiScript &&
                        !command.seed && !command.runSeed && !command.scene,
                    "an out-dir sweep was accepted with single-picture options");
            CheckScale(command);
            return;
        case Mode::Picture:
            CheckScale(command);
            Require(command.seed.has_value() != (command.runSeed && command.scene),
                    "a picture was accepted without exactly one way to name its seed");
            CheckFormat(command);
            return;
        case Mode::Help:
            return;
    }
}

}  // namespace
}  // namespace vistrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    if (size > 0) {
        args.emplace_back();
    }
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    const vistrel::ParseResult result = vistrel::ParseRenderCommand(args);
    if (result.command) {
        vistrel::Require(result.error.empty(), "a command came with an error");
        vistrel::CheckCommand(*result.command);
    } else {
        vistrel::Require(!result.error.empty(), "neither a command nor an error");
        vistrel::Require(vistrel::IsOneLine(result.error),
                         "an error message with a control character");
    }
    return 0;
}
