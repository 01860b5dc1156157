#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "scene/PaintObserver.h"
#include "scene/Picture.h"
#include "scene/RenderSceneBitmap.h"
#include "scene/SceneImage.h"
#include "scene/ScreenFit.h"
#include "tools/common/CommandLine.h"
#include "tools/vistrel-render/AtomicFile.h"
#include "tools/vistrel-render/GdiScript.h"
#include "tools/vistrel-render/RenderCommand.h"
#include "tools/vistrel-render/SeedSweep.h"
#include "tools/vistrel-render/TerminationCleanup.h"
#include "tools/vistrel-render/ToolError.h"

namespace {

using vistrel::RenderCommand;

constexpr int UsageError = 2;
constexpr int OutputError = 1;

int Fail(int status, const std::string& message) {
    std::cerr << "vistrel-render: " << message << '\n';
    return status;
}

void WriteStandardOutput(std::string_view bytes) {
    if (const int error = vistrel::WriteFully(STDOUT_FILENO, bytes); error != 0) {
        throw vistrel::SystemError("cannot write standard output", error);
    }
}

std::unique_ptr<vistrel::SceneBitmap> Render(const RenderCommand& command, std::uint32_t seed,
                                             vistrel::SurfaceRecorder* recorder = nullptr) {
    const vistrel::Rect rect{0, 0, command.width, command.height};
    // Only a picture with elements left out or its calls recorded needs the watched painter; the
    // sweeps go at the viewer's speed.
    std::unique_ptr<vistrel::SceneBitmap> bitmap;
    if (command.omitted.Empty() && recorder == nullptr) {
        bitmap = vistrel::PictureOfSeed(seed, rect);
    } else {
        vistrel::SceneRng rng;
        rng.Seed(seed);
        vistrel::ElementOmitter omitter(command.omitted);
        bitmap = vistrel::RenderSceneBitmap(rect, rng, omitter, recorder);
    }
    if (!bitmap) {
        throw std::bad_alloc();
    }
    return bitmap;
}

// The picture as the bytes of its file, enlarged or fitted to a screen first when the command
// asks for it.
std::vector<std::uint8_t> Encoded(const RenderCommand& command, const vistrel::SceneBitmap& bitmap,
                                  vistrel::ImageFormat format) {
    if (command.fit) {
        const vistrel::SceneBitmap screen =
            vistrel::ShowOnScreen(bitmap, command.fit->first, command.fit->second);
        if (screen.pixels.empty()) {
            throw std::bad_alloc();
        }
        return vistrel::EncodeImage(screen, format);
    }
    return command.scale == 1
               ? vistrel::EncodeImage(bitmap, format)
               : vistrel::EncodeImage(vistrel::ScaleUp(bitmap, command.scale), format);
}

// The size of the file's picture, as "WxH".
std::string OutputSize(const RenderCommand& command) {
    const auto [width, height] = command.fit.value_or(
        std::pair{command.width * command.scale, command.height * command.scale});
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void PrintDigests(const RenderCommand& command) {
    vistrel::KeepFreedMemoryForReuse();
    vistrel::SeedSweep().Run(
        command.firstSeed, command.lastSeed,
        [&](std::uint32_t seed, std::string& text) {
            text += std::to_string(seed) + ' ' +
                    vistrel::DigestHex(vistrel::PixelDigest(*Render(command, seed))) + '\n';
        },
        WriteStandardOutput);
}

void WritePictures(const RenderCommand& command) {
    const std::filesystem::path folder(*command.outDir);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        throw vistrel::SystemError(
            "cannot create the folder " + vistrel::Sanitised(*command.outDir), error.value());
    }
    vistrel::KeepFreedMemoryForReuse();
    vistrel::SeedSweep().Run(
        command.firstSeed, command.lastSeed,
        [&](std::uint32_t seed, std::string&) {
            const auto path = folder / ("vistrel-" + std::to_string(seed) + ".png");
            vistrel::AtomicFile file(path.string());
            file.Write(AsText(Encoded(command, *Render(command, seed), vistrel::ImageFormat::Png)));
            file.Commit();
        },
        [](const std::string&) {});
}

int RenderPicture(const RenderCommand& command) {
    if (!command.output && isatty(STDOUT_FILENO)) {
        return Fail(UsageError, "standard output is a terminal; name a file with -o FILE");
    }
    std::ostringstream scriptText;
    std::optional<vistrel::GdiScript> script;
    if (command.gdiScript) {
        script.emplace(scriptText, command.width, command.height);
    }
    const auto bitmap = Render(command, command.PictureSeed(), script ? &*script : nullptr);

    std::optional<vistrel::AtomicFile> scriptFile;
    if (command.gdiScript) {
        scriptText << "dump\n";
        scriptFile.emplace(*command.gdiScript);
        scriptFile->Write(scriptText.view());
    }
    const std::vector<std::uint8_t> picture = Encoded(command, *bitmap, command.PictureFormat());
    std::optional<vistrel::AtomicFile> pictureFile;
    if (command.output) {
        pictureFile.emplace(*command.output);
        pictureFile->Write(AsText(picture));
    } else {
        WriteStandardOutput(AsText(picture));
    }
    // Both are complete before either replaces its file.
    if (scriptFile) {
        scriptFile->Commit();
    }
    if (pictureFile) {
        pictureFile->Commit();
    }
    return 0;
}

int Execute(const RenderCommand& command) {
    switch (command.mode) {
        case RenderCommand::Mode::Help:
            WriteStandardOutput(vistrel::RenderUsage());
            return 0;
        case RenderCommand::Mode::Digest:
            PrintDigests(command);
            return 0;
        case RenderCommand::Mode::OutDir:
            WritePictures(command);
            return 0;
        case RenderCommand::Mode::Picture:
            break;
    }
    return RenderPicture(command);
}

}  // namespace

int main(int argc, char** argv) {
    // A closed pipe is reported like any other failed write, rather than ending the process
    // without a word.
    signal(SIGPIPE, SIG_IGN);
    vistrel::RemoveTemporariesOnTermination();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vistrel::ParseResult parsed = vistrel::ParseRenderCommand(args);
    if (!parsed.command) {
        return Fail(UsageError, parsed.error);
    }
    const RenderCommand& command = *parsed.command;
    try {
        return Execute(command);
    } catch (const std::bad_alloc&) {
        return Fail(OutputError,
                    "not enough memory to render a " + OutputSize(command) + " picture");
    } catch (const std::exception& e) {
        // A ToolError, or a failure of the encoder, each a message in its own right.
        return Fail(OutputError, e.what());
    }
}
