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
#include <sstream>
#include <string>
#include <vector>

#include "RenderCommand.h"
#include "SceneImage.h"
#include "SceneRng.h"

namespace vistrel {
namespace {

namespace fs = std::filesystem;

// Where the tool's standard output goes.
enum class Stdout { File, DevFull, ClosedPipe };

// A resource limit the tool runs under, to make a write, a thread start or an allocation fail.
enum class Limit { None, FileSize, AddressSpace20M, AddressSpace200M };

struct ToolRun {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ApplyLimit(Limit limit) {
    auto set = [](int resource, rlim_t value) {
        const rlimit r{value, value};
        setrlimit(resource, &r);
    };
    switch (limit) {
        case Limit::None:
            break;
        case Limit::FileSize:
            signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
            set(RLIMIT_FSIZE, 1000);
            break;
        case Limit::AddressSpace20M:
            set(RLIMIT_AS, rlim_t{20} << 20);
            break;
        case Limit::AddressSpace200M:
            set(RLIMIT_AS, rlim_t{200} << 20);
            break;
    }
    // A safety net: a tool that ignores its failed output must not run for hours.
    set(RLIMIT_CPU, 120);
}

ToolRun RunTool(const std::vector<std::string>& args, Stdout to, Limit limit,
                const fs::path& scratch) {
    const fs::path outPath = scratch / "stdout";
    const fs::path errPath = scratch / "stderr";
    int pipeEnds[2] = {-1, -1};
    if (to == Stdout::ClosedPipe && pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = to == Stdout::ClosedPipe ? pipeEnds[1]
                        : to == Stdout::DevFull
                            ? open("/dev/full", O_WRONLY)
                            : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (to == Stdout::ClosedPipe) {
            close(pipeEnds[0]);
        }
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        signal(SIGPIPE, SIG_DFL);
        ApplyLimit(limit);
        std::vector<char*> argv{const_cast<char*>(VISTREL_RENDER)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(VISTREL_RENDER, argv.data());
        _exit(127);
    }
    if (to == Stdout::ClosedPipe) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    ToolRun run;
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    run.out = to == Stdout::File ? ReadFile(outPath) : "";
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

// What the tool must have written to a file of that name: out-dir pictures are named after their
// seed, every other picture here is seed 1 at the default size.
std::string ExpectedPicture(const std::string& name) {
    std::uint32_t seed = 1;
    if (name.rfind("vistrel-", 0) == 0) {
        seed = static_cast<std::uint32_t>(std::stoul(name.substr(8)));
    }
    SceneRng rng;
    rng.Seed(seed);
    const auto bitmap = RenderSceneBitmap({0, 0, 570, 190}, rng);
    const std::vector<std::uint8_t> bytes =
        EncodeImage(*bitmap, FormatForPath(name).value_or(ImageFormat::Png));
    return {bytes.begin(), bytes.end()};
}

std::string DigestLine(std::uint32_t seed) {
    SceneRng rng;
    rng.Seed(seed);
    return std::to_string(seed) + " " +
           DigestHex(PixelDigest(*RenderSceneBitmap({0, 0, 570, 190}, rng))) + "\n";
}

struct Case {
    Case(std::vector<std::string> args, Stdout to, Limit limit, int status, std::string message,
         std::set<std::string> written = {}, std::string out = "")
        : args(std::move(args)),
          to(to),
          limit(limit),
          status(status),
          message(std::move(message)),
          written(std::move(written)),
          out(std::move(out)) {}

    std::vector<std::string> args;  // "@/" stands for the case's own folder
    Stdout to;
    Limit limit;
    int status;
    std::string message;            // a part of the one error line; none when status is 0
    std::set<std::string> written;  // what the tool leaves in the folder; files as ExpectedPicture
    std::string out;                // standard output, or "picture" for seed 1 as a PNG
};

// Every case starts in a folder that holds files that must survive any failure, a link to one of
// them, and a folder whose name looks like a picture.
const std::set<std::string> KeptFiles = {"keep.png", "keep.ppm", "keep.txt"};
constexpr const char* Kept = "kept\n";

const Case Cases[] = {
    // Formats and destinations.
    {{"--seed", "1", "-o", "@/a.png"}, Stdout::File, Limit::None, 0, "", {"a.png"}},
    {{"--seed", "1", "--output", "@/a.ppm"}, Stdout::File, Limit::None, 0, "", {"a.ppm"}},
    {{"--seed", "1", "-o", "@/a.raw"}, Stdout::File, Limit::None, 0, "", {"a.raw"}},
    {{"--seed", "1", "-o", "@/keep.png"}, Stdout::File, Limit::None, 0, "", {"keep.png"}},
    {{"--seed", "1", "-o", "@/link.png"}, Stdout::File, Limit::None, 0, "", {"keep.png"}},
    {{"--seed", "1"}, Stdout::File, Limit::None, 0, "", {}, "picture"},
    {{"--seed", "1", "--digest"}, Stdout::File, Limit::None, 0, "", {}, DigestLine(1)},
    {{"--run-seed", "1", "--scene", "3", "--digest"},
     Stdout::File,
     Limit::None,
     0,
     "",
     {},
     DigestLine(6334)},
    {{"--seeds", "0-2", "--out-dir", "@/gallery"},
     Stdout::File,
     Limit::None,
     0,
     "",
     {"gallery/vistrel-0.png", "gallery/vistrel-1.png", "gallery/vistrel-2.png"}},
    // Destinations that cannot be written.
    {{"--seed", "1", "-o", "@/dir.png"}, Stdout::File, Limit::None, 1, "dir.png: Is a directory"},
    {{"--seed", "1", "-o", "@/missing/a.png"},
     Stdout::File,
     Limit::None,
     1,
     "missing/a.png: No such file or directory"},
    {{"--seed", "1", "-o", "@/keep.png/a.png"},
     Stdout::File,
     Limit::None,
     1,
     "keep.png/a.png: Not a directory"},
    {{"--seed", "1", "-o", "/proc/vistrel.png"},
     Stdout::File,
     Limit::None,
     1,
     "cannot write /proc/vistrel.png: "},
    {{"--seed", "1", "-o", "@/missing\x1b[31m\nx/a.png"},
     Stdout::File,
     Limit::None,
     1,
     "missing?[31m?x/a.png: No such file or directory"},
    {{"--seed", "1"},
     Stdout::DevFull,
     Limit::None,
     1,
     "cannot write standard output: No space left on device"},
    {{"--seeds", "0-4294967295", "--digest"},
     Stdout::DevFull,
     Limit::None,
     1,
     "cannot write standard output: No space left on device"},
    {{"--seeds", "0-4294967295", "--digest"},
     Stdout::ClosedPipe,
     Limit::None,
     1,
     "cannot write standard output: Broken pipe"},
    {{"--seed", "1", "--gdi-script", "/dev/full", "-o", "@/keep.png"},
     Stdout::File,
     Limit::None,
     1,
     "/dev/full: No space left on device"},
    // A write that fails halfway leaves the old file as it was.
    {{"--seed", "1", "-o", "@/keep.ppm"},
     Stdout::File,
     Limit::FileSize,
     1,
     "keep.ppm: File too large"},
    {{"--seed", "1", "-o", "@/keep.png"},
     Stdout::File,
     Limit::FileSize,
     1,
     "keep.png: File too large"},
    {{"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/a.png"},
     Stdout::File,
     Limit::FileSize,
     1,
     "keep.txt: File too large"},
    {{"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/missing/a.png"},
     Stdout::File,
     Limit::None,
     1,
     "missing/a.png: No such file or directory"},
    {{"--seeds", "0-2", "--out-dir", "@/gallery"},
     Stdout::File,
     Limit::FileSize,
     1,
     "gallery/vistrel-0.png: File too large",
     {"gallery"}},
    {{"--seeds", "0-2", "--out-dir", "@/keep.png"}, Stdout::File, Limit::None, 1, "keep.png"},
    // Resources that run out.
    {{"--seeds", "0-3", "--digest"}, Stdout::File, Limit::AddressSpace20M, 1, "thread"},
    {{"--seed", "1", "--size", "8192x8192", "--scale", "2", "-o", "@/keep.png"},
     Stdout::File,
     Limit::AddressSpace200M,
     1,
     "not enough memory"},
    // Command lines.
    {{"--seed", "5", "--seed", "6"}, Stdout::File, Limit::None, 2, "--seed given twice"},
    {{"--seed", "5", "-o", "@/a.png", "--output", "@/b.png"},
     Stdout::File,
     Limit::None,
     2,
     "given twice"},
    {{"--seed", "1", "--frobnicate"}, Stdout::File, Limit::None, 2, "--frobnicate"},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << Joined(c.args);
}

class RenderProcessTest : public testing::TestWithParam<Case> {};

TEST_P(RenderProcessTest, WritesCompletelyOrLeavesEverythingAsItWas) {
    const Case& c = GetParam();
    const bool limitsAddressSpace =
        c.limit == Limit::AddressSpace20M || c.limit == Limit::AddressSpace200M;
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

    const ToolRun run = RunTool(args, c.to, c.limit, scratch);

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

TEST(RenderProcessDigestTest, SweepPrintsEverySeedInOrder) {
    const fs::path scratch =
        fs::temp_directory_path() / ("vistrel-render-test-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    const ToolRun run = RunTool({"--seeds", "4290-4390", "--digest", "--omit", "birds"},
                                Stdout::File, Limit::None, scratch);
    fs::remove_all(scratch);
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::uint32_t seed = 4290;
    for (std::string line; std::getline(lines, line); ++seed) {
        SceneRng rng;
        rng.Seed(seed);
        RenderOptions options;
        options.omitted.Add(SceneElement::Birds);
        const auto bitmap = RenderSceneBitmap({0, 0, 570, 190}, rng, options);
        EXPECT_EQ(line, std::to_string(seed) + " " + DigestHex(PixelDigest(*bitmap)));
    }
    EXPECT_EQ(seed, 4391u);
}

}  // namespace
}  // namespace vistrel
