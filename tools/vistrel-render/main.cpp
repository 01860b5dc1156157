#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "GdiScript.h"
#include "SceneImage.h"
#include "RenderCommand.h"
#include "SceneBitmap.h"

namespace {

using vistrel::RenderCommand;

constexpr int UsageError = 2;
constexpr int OutputError = 1;

int Fail(int status, const std::string& message) {
    std::cerr << "vistrel-render: " << message << '\n';
    return status;
}

// Every seed's digest, computed on all cores; each worker has its own random source.
int PrintDigests(const RenderCommand& command) {
    const std::uint64_t count = std::uint64_t{command.lastSeed} - command.firstSeed + 1;
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    constexpr std::uint64_t Batch = 4096;
    const vistrel::Rect rect{0, 0, command.width, command.height};
    for (std::uint64_t batchStart = 0; batchStart < count; batchStart += Batch) {
        const std::uint64_t batchSize = std::min(Batch, count - batchStart);
        std::vector<std::uint64_t> digests(batchSize);
        std::vector<std::thread> threads;
        bool failed = false;
        std::vector<char> workerFailed(workers, 0);
        for (unsigned w = 0; w < workers; ++w) {
            threads.emplace_back([&, w] {
                vistrel::SceneRng rng;
                for (std::uint64_t i = w; i < batchSize; i += workers) {
                    rng.Seed(static_cast<std::uint32_t>(command.firstSeed + batchStart + i));
                    const auto bitmap =
                        vistrel::RenderSceneBitmap(rect, rng, {command.omitted, nullptr});
                    if (!bitmap) {
                        workerFailed[w] = 1;
                        return;
                    }
                    digests[i] = vistrel::PixelDigest(*bitmap);
                }
            });
        }
        for (std::thread& t : threads) {
            t.join();
        }
        failed = std::find(workerFailed.begin(), workerFailed.end(), 1) != workerFailed.end();
        if (failed) {
            return Fail(OutputError, "not enough memory to render");
        }
        for (std::uint64_t i = 0; i < batchSize; ++i) {
            std::cout << command.firstSeed + batchStart + i << ' ' << vistrel::DigestHex(digests[i])
                      << '\n';
        }
    }
    std::cout.flush();
    return std::cout ? 0 : Fail(OutputError, "cannot write the digests");
}

bool WriteAll(std::FILE* file, const std::vector<std::uint8_t>& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

int RenderPicture(const RenderCommand& command) {
    if (!command.output && isatty(STDOUT_FILENO)) {
        return Fail(UsageError, "standard output is a terminal; name a file with -o FILE");
    }
    std::ofstream scriptFile;
    std::unique_ptr<vistrel::GdiScript> script;
    if (command.gdiScript) {
        scriptFile.open(*command.gdiScript);
        if (!scriptFile) {
            return Fail(OutputError,
                        "cannot write " + *command.gdiScript + ": " + std::strerror(errno));
        }
        script = std::make_unique<vistrel::GdiScript>(scriptFile, command.width, command.height);
    }

    vistrel::SceneRng rng;
    rng.Seed(command.PictureSeed());
    const auto bitmap = vistrel::RenderSceneBitmap({0, 0, command.width, command.height}, rng,
                                                   {command.omitted, script.get()});
    if (!bitmap) {
        return Fail(OutputError, "not enough memory to render");
    }
    if (script) {
        scriptFile << "dump\n";
        scriptFile.close();
        if (!scriptFile) {
            return Fail(OutputError, "cannot write " + *command.gdiScript);
        }
    }
    const vistrel::SceneBitmap image =
        command.scale == 1 ? *bitmap : vistrel::ScaleUp(*bitmap, command.scale);
    const auto format =
        command.output ? *vistrel::FormatForPath(*command.output) : vistrel::ImageFormat::Png;
    const std::vector<std::uint8_t> bytes = vistrel::EncodeImage(image, format);

    if (!command.output) {
        if (!WriteAll(stdout, bytes) || std::fflush(stdout) != 0) {
            return Fail(OutputError,
                        std::string("cannot write standard output: ") + std::strerror(errno));
        }
        return 0;
    }
    std::FILE* file = std::fopen(command.output->c_str(), "wb");
    if (file == nullptr) {
        return Fail(OutputError, "cannot write " + *command.output + ": " + std::strerror(errno));
    }
    const bool written = WriteAll(file, bytes);
    const int closed = std::fclose(file);
    if (!written || closed != 0) {
        return Fail(OutputError, "cannot write " + *command.output + ": " + std::strerror(errno));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vistrel::ParseResult parsed = vistrel::ParseRenderCommand(args);
    if (!parsed.command) {
        return Fail(UsageError, parsed.error);
    }
    switch (parsed.command->mode) {
        case RenderCommand::Mode::Help:
            std::cout << vistrel::RenderUsage;
            return 0;
        case RenderCommand::Mode::Digest:
            return PrintDigests(*parsed.command);
        case RenderCommand::Mode::Picture:
            break;
    }
    try {
        return RenderPicture(*parsed.command);
    } catch (const std::exception& e) {
        return Fail(OutputError, e.what());
    }
}
