#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "scene/PaintObserver.h"
#include "scene/RenderSceneBitmap.h"
#include "scene/SceneImage.h"
#include "scene/SceneRng.h"
#include "tools/vistrel-render/RenderCommand.h"

namespace vistrel {
namespace {

namespace fs = std::filesystem;

// What the tool runs with: standard output to a file, to a full device or to a pipe nobody
// reads, or a resource limit that makes a write, a thread start or an allocation fail.
enum class Setting {
    Plain,
    StdoutFull,
    StdoutClosed,
    FileSizeLimit,
    AddressSpace20M,
    AddressSpace200M
};

struct ToolRun {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ApplyLimit(Setting setting) {
    auto set = [](int resource, rlim_t value) {
        const rlimit r{value, value};
        setrlimit(resource, &r);
    };
    switch (setting) {
        case Setting::Plain:
        case Setting::StdoutFull:
        case Setting::StdoutClosed:
            break;
        case Setting::FileSizeLimit:
            signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
            set(RLIMIT_FSIZE, 1000);
            break;
        case Setting::AddressSpace20M:
            set(RLIMIT_AS, rlim_t{20} << 20);
            break;
        case Setting::AddressSpace200M:
            set(RLIMIT_AS, rlim_t{200} << 20);
            break;
    }
    // A safety net: a tool that ignores its failed output must not run for hours.
    set(RLIMIT_CPU, 120);
}

ToolRun RunTool(const std::vector<std::string>& args, Setting setting, const fs::path& scratch) {
    const fs::path outPath = scratch / "stdout";
    const fs::path errPath = scratch / "stderr";
    int pipeEnds[2] = {-1, -1};
    if (setting == Setting::StdoutClosed && pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = setting == Setting::StdoutClosed ? pipeEnds[1]
                        : setting == Setting::StdoutFull
                            ? open("/dev/full", O_WRONLY)
                            : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (setting == Setting::StdoutClosed) {
            close(pipeEnds[0]);
        }
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        signal(SIGPIPE, SIG_DFL);
        ApplyLimit(setting);
        std::vector<char*> argv{const_cast<char*>(VISTREL_RENDER)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(VISTREL_RENDER, argv.data());
        _exit(127);
    }
    if (setting == Setting::StdoutClosed) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    ToolRun run;
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return run;
}

std::string Joined(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args) {
        text += (text.empty() ? "" : " ") + a;
    }
    return text;
}

SceneBitmap Picture(std::uint32_t seed, SceneElements omitted = {}) {
    SceneRng rng;
    rng.Seed(seed);
    ElementOmitter omitter(omitted);
    return *RenderSceneBitmap({0, 0, 570, 190}, rng, omitter);
}

// What the tool must have written to a file of that name: out-dir pictures are named after their
// seed, every other picture here is seed 1 at the default size.
std::string ExpectedPicture(const std::string& name) {
    const bool numbered = name.rfind("vistrel-", 0) == 0;
    const auto seed = numbered ? static_cast<std::uint32_t>(std::stoul(name.substr(8))) : 1u;
    const std::vector<std::uint8_t> bytes =
        EncodeImage(Picture(seed), FormatForPath(name).value_or(ImageFormat::Png));
    return {bytes.begin(), bytes.end()};
}

SceneElements Omitting(SceneElement element) {
    SceneElements omitted;
    omitted.Add(element);
    return omitted;
}

// The digest lines of first..last, as the tool prints them.
std::string DigestLines(std::uint32_t first, std::uint32_t last, SceneElements omitted = {}) {
    std::string lines;
    for (std::uint32_t seed = first; seed <= last; ++seed) {
        lines += std::to_string(seed) + " " + DigestHex(PixelDigest(Picture(seed, omitted))) + "\n";
    }
    return lines;
}

struct Case {
    Case(Setting setting, int status, std::vector<std::string> args, std::string message = "",
         std::set<std::string> written = {}, std::string out = "")
        : setting(setting),
          status(status),
          args(std::move(args)),
          message(std::move(message)),
          written(std::move(written)),
          out(std::move(out)) {}

    Setting setting;
    int status;
    std::vector<std::string> args;  // "@/" stands for the case's own folder
    std::string message;            // a part of the one error line; none when status is 0
    std::set<std::string> written;  // what the tool leaves in the folder; files as ExpectedPicture
    std::string out;                // standard output, or "picture" for seed 1 as a PNG
};

// Every case starts in a folder that holds files that must survive any failure, a link to one of
// them, and a folder whose name looks like a picture.
const std::set<std::string> KeptFiles = {"keep.png", "keep.ppm", "keep.txt"};
constexpr const char* Kept = "kept\n";

using enum Setting;

const Case Cases[] = {
    // Formats and destinations.
    {Plain, 0, {"--seed", "1", "-o", "@/a.png"}, "", {"a.png"}},
    {Plain, 0, {"--seed", "1", "--output", "@/a.ppm"}, "", {"a.ppm"}},
    {Plain, 0, {"--seed", "1", "-o", "@/a.raw"}, "", {"a.raw"}},
    {Plain, 0, {"--seed", "1", "-o", "@/keep.png"}, "", {"keep.png"}},
    {Plain, 0, {"--seed", "1", "-o", "@/link.png"}, "", {"keep.png"}},
    {Plain, 0, {"--seed", "1"}, "", {}, "picture"},
    {Plain, 0, {"--seed", "1", "--digest"}, "", {}, DigestLines(1, 1)},
    {Plain, 0, {"--run-seed", "1", "--scene", "3", "--digest"}, "", {}, DigestLines(6334, 6334)},
    {Plain,
     0,
     {"--seeds", "0-2", "--out-dir", "@/g"},
     "",
     {"g/vistrel-0.png", "g/vistrel-1.png", "g/vistrel-2.png"}},
    {Plain,
     0,
     {"--seeds", "4290-4390", "--digest", "--omit", "birds"},
     "",
     {},
     DigestLines(4290, 4390, Omitting(SceneElement::Birds))},
    // Destinations that cannot be written.
    {Plain, 1, {"--seed", "1", "-o", "@/dir.png"}, "dir.png: Is a directory"},
    {Plain, 1, {"--seed", "1", "-o", "@/no/a.png"}, "no/a.png: No such file or directory"},
    {Plain, 1, {"--seed", "1", "-o", "@/keep.png/a.png"}, "keep.png/a.png: Not a directory"},
    {Plain, 1, {"--seed", "1", "-o", "/proc/vistrel.png"}, "cannot write /proc/vistrel.png: "},
    {Plain, 1, {"--seed", "1", "-o", "@/no\x1b[31m\nx/a.png"}, "no?[31m?x/a.png: No such file"},
    {StdoutFull, 1, {"--seed", "1"}, "cannot write standard output: No space left on device"},
    {StdoutFull, 1, {"--seeds", "0-4294967295", "--digest"}, "standard output: No space left"},
    {StdoutClosed, 1, {"--seeds", "0-4294967295", "--digest"}, "standard output: Broken pipe"},
    {Plain,
     1,
     {"--seed", "1", "--gdi-script", "/dev/full", "-o", "@/keep.png"},
     "/dev/full: No space left on device"},
    // A write that fails halfway leaves the old file as it was.
    {FileSizeLimit, 1, {"--seed", "1", "-o", "@/keep.ppm"}, "keep.ppm: File too large"},
    {FileSizeLimit, 1, {"--seed", "1", "-o", "@/keep.png"}, "keep.png: File too large"},
    {FileSizeLimit,
     1,
     {"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/a.png"},
     "keep.txt: File too large"},
    {Plain, 1, {"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/no/a.png"}, "no/a.png"},
    {FileSizeLimit,
     1,
     {"--seeds", "0-2", "--out-dir", "@/g"},
     "g/vistrel-0.png: File too large",
     {"g"}},
    {Plain, 1, {"--seeds", "0-2", "--out-dir", "@/keep.png"}, "keep.png"},
    // Resources that run out.
    {AddressSpace20M, 1, {"--seeds", "0-3", "--digest"}, "cannot start the worker threads"},
    {AddressSpace200M,
     1,
     {"--seed", "1", "--size", "8192x8192", "--scale", "2", "-o", "@/keep.png"},
     "not enough memory"},
    // Command lines.
    {Plain, 2, {"--seed", "5", "--seed", "6"}, "--seed given twice"},
    {Plain, 2, {"--seed", "5", "-o", "@/a.png", "--output", "@/b.png"}, "--output given twice"},
    {Plain, 2, {"--seed", "1", "--frobnicate"}, "--frobnicate"},
};

// The command line with control characters escaped: CTest names each case by it, and a raw
// escape sequence in a test name would reach the terminal of whoever lists the tests.
void PrintTo(const Case& c, std::ostream* out) {
    static constexpr char Hex[] = "0123456789abcdef";
    for (const char character : Joined(c.args)) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte < 0x20 || byte == 0x7f) {
            *out << "\\x" << Hex[byte >> 4] << Hex[byte & 0xf];
        } else {
            *out << character;
        }
    }
}

class RenderProcessTest : public testing::TestWithParam<Case> {};

TEST_P(RenderProcessTest, WritesCompletelyOrLeavesEverythingAsItWas) {
    const Case& c = GetParam();
    const bool limitsAddressSpace = c.setting == AddressSpace20M || c.setting == AddressSpace200M;
#if defined(__SANITIZE_ADDRESS__)
    if (limitsAddressSpace) {
        GTEST_SKIP() << "the address sanitizer reserves more than the limit";
    }
#endif
    static_cast<void>(limitsAddressSpace);
    const fs::path scratch =
        fs::temp_directory_path() / ("vistrel-render-test-" + std::to_string(getpid()));
    const fs::path folder = scratch / "case";
    fs::remove_all(folder);
    fs::create_directories(folder / "dir.png");
    fs::create_symlink("keep.png", folder / "link.png");
    for (const std::string& name : KeptFiles) {
        std::ofstream(folder / name) << Kept;
    }
    std::vector<std::string> args = c.args;
    for (std::string& a : args) {
        if (a.rfind("@/", 0) == 0) {
            a = (folder / a.substr(2)).string();
        }
    }
    SCOPED_TRACE(Joined(c.args));

    const ToolRun run = RunTool(args, c.setting, scratch);

    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == 0) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_EQ(run.err.rfind("vistrel-render: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "not one line: " << run.err;
        EXPECT_TRUE(std::none_of(run.err.begin(), run.err.end() - 1, [](char ch) {
            return static_cast<unsigned char>(ch) < 0x20;
        })) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_TRUE(run.out == (c.out == "picture" ? ExpectedPicture("a.png") : c.out))
        << "standard output begins " << run.out.substr(0, 80);

    std::set<std::string> expectedFiles = {"dir.png", "link.png"};
    expectedFiles.insert(KeptFiles.begin(), KeptFiles.end());
    for (const std::string& name : c.written) {
        expectedFiles.insert(name);
        if (const auto slash = name.find('/'); slash != std::string::npos) {
            expectedFiles.insert(name.substr(0, slash));
        }
    }
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files.insert(entry.path().lexically_relative(folder).string());
    }
    EXPECT_EQ(files, expectedFiles) << "a temporary file was left behind, or a file is missing";
    for (const std::string& name : expectedFiles) {
        if (c.written.count(name) != 0 && fs::is_regular_file(folder / name)) {
            EXPECT_TRUE(ReadFile(folder / name) == ExpectedPicture(fs::path(name).filename()))
                << name << " is not the picture";
        } else if (KeptFiles.count(name) != 0) {
            EXPECT_TRUE(ReadFile(folder / name) == Kept) << name << " was touched";
        }
    }
    fs::remove_all(scratch);
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderProcessTest, testing::ValuesIn(Cases));

}  // namespace
}  // namespace vistrel
