#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scene/PaintObserver.h"
#include "scene/Picture.h"
#include "scene/SceneImage.h"
#include "scene/ScreenFit.h"
#include "tests/support/Pictures.h"
#include "tests/support/Process.h"
#include "tests/tools/CommandLineSupport.h"
#include "tools/common/UniqueFd.h"
#include "tools/vistrel-render/GdiScript.h"
#include "tools/vistrel-render/RenderCommand.h"

namespace vistrel {
namespace {

namespace fs = std::filesystem;
using test::Joined;

// What the tool runs with: standard output to the test, to a full device or to a pipe nobody
// reads, or a resource limit that makes a write, a thread start or an allocation fail. Besides:
// standard output and error appended to files that have a line already; as an ordinary user
// (nobody, when the tests run as root) in a folder of their own; on a file system without
// unnamed files.
enum class Setting {
    Plain,
    StdoutFull,
    StdoutClosed,
    FileSizeLimit,
    AddressSpace20M,
    AddressSpace200M,
    StdoutAppend,
    Unprivileged,
    NoUnnamedFiles
};

constexpr const char* EarlierLine = "earlier\n";
constexpr uid_t Nobody = 65534;
// The exit status of a child that could not become the ordinary user.
constexpr int CannotDropPrivileges = 77;

void ApplyLimit(Setting setting) {
    auto set = [](int resource, rlim_t value) {
        const rlimit r{value, value};
        setrlimit(resource, &r);
    };
    switch (setting) {
        case Setting::Plain:
        case Setting::StdoutFull:
        case Setting::StdoutClosed:
        case Setting::StdoutAppend:
        case Setting::NoUnnamedFiles:
            break;
        case Setting::Unprivileged:
            if (geteuid() == 0 &&
                (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)) {
                _exit(CannotDropPrivileges);
            }
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

// Opens the FIFO at path for reading with the smallest buffer, so that a writer blocks within
// a few kilobytes.
int OpenNarrowFifo(const fs::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        fcntl(fd, F_SETPIPE_SZ, 4096);
    }
    return fd;
}

// Waits until the tool has written to the FIFO and then sends it signal. The FIFO is the target
// of a write larger than its buffer, so the tool is then stuck in that write, at a known point.
void SignalOnceBlocked(pid_t pid, int fifo, int sent) {
    pollfd ready{fifo, POLLIN, 0};
    // A safety net for a tool that never writes there; the signal then goes anyway.
    EXPECT_EQ(poll(&ready, 1, 60000), 1) << "the tool never wrote to the FIFO";
    kill(pid, sent);
}

// The file system without unnamed files is a library the tool loads first.
std::vector<std::pair<std::string, std::string>> EnvironmentOf(Setting setting) {
    if (setting != Setting::NoUnnamedFiles) {
        return {};
    }
    const char* asan = getenv("ASAN_OPTIONS");
    return {{"LD_PRELOAD", NO_UNNAMED_FILES},
            {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":verify_asan_link_order=0"}};
}

// Standard output and error as the setting has them, none for the pipes the test reads.
std::pair<UniqueFd, UniqueFd> StreamsOf(Setting setting, const fs::path& outPath,
                                        const fs::path& errPath) {
    switch (setting) {
        case Setting::StdoutFull:
            return {UniqueFd(open("/dev/full", O_WRONLY | O_CLOEXEC)), UniqueFd()};
        case Setting::StdoutClosed: {
            int ends[2] = {-1, -1};
            EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
            close(ends[0]);
            return {UniqueFd(ends[1]), UniqueFd()};
        }
        case Setting::StdoutAppend: {
            std::ofstream(outPath) << EarlierLine;
            std::ofstream(errPath) << EarlierLine;
            const int flags = O_WRONLY | O_APPEND | O_CLOEXEC;
            return {UniqueFd(open(outPath.c_str(), flags)), UniqueFd(open(errPath.c_str(), flags))};
        }
        default:
            return {};
    }
}

test::ProcessResult RunTool(const std::vector<std::string>& args, Setting setting,
                            const fs::path& scratch, int sent = 0, const fs::path& fifo = {}) {
    const fs::path outPath = scratch / "stdout";
    const fs::path errPath = scratch / "stderr";
    const auto [out, err] = StreamsOf(setting, outPath, errPath);
    const UniqueFd fifoEnd(sent != 0 ? OpenNarrowFifo(fifo) : -1);
    test::ProcessSetup setup{.argv = {VISTREL_RENDER},
                             .environment = EnvironmentOf(setting),
                             .output = out.Get(),
                             .error = err.Get(),
                             .beforeExec = [setting] { ApplyLimit(setting); }};
    setup.argv.insert(setup.argv.end(), args.begin(), args.end());
    test::Process tool(setup);
    if (sent != 0) {
        SignalOnceBlocked(tool.Id(), fifoEnd.Get(), sent);
    }
    test::ProcessResult run{tool.Wait(), tool.Out(), tool.Err()};
    if (setting == Setting::StdoutAppend) {
        run.out = test::ReadFile(outPath);
        run.err = test::ReadFile(errPath);
        fs::remove(outPath);
        fs::remove(errPath);
    }
    return run;
}

SceneBitmap Picture(std::uint32_t seed, SceneElements omitted = {},
                    SurfaceRecorder* recorder = nullptr) {
    return *test::RenderWithout(seed, omitted, recorder);
}

// What the tool must have written to a file of that name: out-dir pictures are named after their
// seed, fit-WxH.png is seed 1 fitted to a W x H screen, every other picture here is seed 1 at the
// default size.
std::string ExpectedPicture(const std::string& name, std::int32_t scale = 1) {
    const bool numbered = name.rfind("vistrel-", 0) == 0;
    const auto seed = numbered ? static_cast<std::uint32_t>(std::stoul(name.substr(8))) : 1u;
    SceneBitmap picture = Picture(seed);
    if (name.rfind("fit-", 0) == 0) {
        const std::size_t x = name.find('x');
        picture = ShowOnScreen(picture, std::stoi(name.substr(4)), std::stoi(name.substr(x + 1)));
    }
    const std::vector<std::uint8_t> bytes =
        EncodeImage(ScaleUp(picture, scale), FormatForPath(name).value_or(ImageFormat::Png));
    return {bytes.begin(), bytes.end()};
}

// The GDI script of seed 1.
std::string ExpectedScript() {
    std::ostringstream text;
    GdiScript script(text, PictureWidth, PictureHeight);
    Picture(1, {}, &script);
    text << "dump\n";
    return text.str();
}

// Whether text is UTF-8 without any control but the line's end, so that a terminal shows it as
// it is.
bool IsInertUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000) ||
            (code < 0x20 && code != '\n') || (code >= 0x7F && code < 0xA0)) {
            return false;
        }
        i += length;
    }
    return true;
}

// A path below folder of exactly `length` bytes in all, in folders of at most 250 bytes a name.
std::string LongPathBelow(const fs::path& folder, std::size_t length) {
    const std::string name = "long.png";
    std::size_t left = length - folder.string().size() - 1 - name.size();
    std::string path;
    while (left > 0) {
        std::size_t part = std::min<std::size_t>(250, left - 1);
        if (left - (part + 1) == 1) {
            --part;
        }
        path += std::string(part, 'd') + '/';
        left -= part + 1;
    }
    return path + name;
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
    int status;  // above 128 the signal the tool gets once it blocks on the FIFO, and dies of
    std::vector<std::string> args;  // "@/" stands for the case's own folder, "@4086" for a path
                                    // of 4086 bytes in it
    std::string message;  // a part of the one error line; when status is 0, standard error
    std::set<std::string> written;  // what the tool leaves in the folder; files as ExpectedPicture
    std::string out;  // standard output; "picture" for seed 1 as a PNG ("picture.ppm" as a PPM),
                      // "script" for its script
};

// Every case starts in a folder that holds files that must survive any failure (one of them
// read-only, one set-user-id), links (to one of them, in a loop, to a missing file and into a
// missing folder), a folder whose name looks like a picture and a FIFO that does too.
const std::set<std::string> KeptFiles = {"keep.png", "keep.ppm", "keep.txt", "readonly.png",
                                         "setuid.png"};
const std::map<std::string, std::string> Links = {{"link.png", "keep.png"},
                                                  {"loop-a.png", "loop-b.png"},
                                                  {"loop-b.png", "loop-a.png"},
                                                  {"dangling.png", "target.png"},
                                                  {"astray.png", "missing/a.png"}};
constexpr const char* Kept = "kept\n";
constexpr const char* Fifo = "vistrel-0.png";

mode_t KeptFileMode(const std::string& name) {
    return name == "readonly.png" ? 0444 : name == "setuid.png" ? 06755 : 0644;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

void MakeFolder(const fs::path& folder, const Case& c) {
    fs::remove_all(folder);
    fs::create_directories(folder / "dir.png");
    for (const auto& [name, target] : Links) {
        fs::create_symlink(target, folder / name);
    }
    for (const std::string& name : KeptFiles) {
        std::ofstream(folder / name) << Kept;
        chmod((folder / name).c_str(), KeptFileMode(name));
    }
    mkfifo((folder / Fifo).c_str(), 0644);
    if (c.setting == Setting::Unprivileged && geteuid() == 0) {
        chown(folder.c_str(), Nobody, Nobody);
    }
}

bool HasUnnamedFiles(const fs::path& folder) {
    const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
    }
    return fd >= 0;
}

// The case's argument or name with its folder filled in.
std::string Expanded(const std::string& text, const fs::path& folder) {
    if (text == "@4086") {
        return (folder / LongPathBelow(folder, 4086)).string();
    }
    return text.rfind("@/", 0) == 0 ? (folder / text.substr(2)).string() : text;
}

// What a stream of the case holds: prefixed by the line that was there before, for appending
// streams.
std::string ExpectedStream(const Case& c, const std::string& text) {
    const std::string expanded = text == "picture"              ? ExpectedPicture("a.png")
                                 : text.starts_with("picture.") ? ExpectedPicture(text)
                                 : text == "script"             ? ExpectedScript()
                                                                : text;
    return (c.setting == Setting::StdoutAppend ? EarlierLine : "") + expanded;
}

int ScaleOf(const std::vector<std::string>& args) {
    const auto scale = std::find(args.begin(), args.end(), "--scale");
    return scale == args.end() ? 1 : std::stoi(*(scale + 1));
}

using enum Setting;

const Case Cases[] = {
    // Formats and destinations.
    {Plain, 0, {"--seed", "1", "-o", "@/a.png"}, "", {"a.png"}},
    {Plain, 0, {"--seed", "1", "--output", "@/a.ppm"}, "", {"a.ppm"}},
    {Plain, 0, {"--seed", "1", "-o", "@/a.raw"}, "", {"a.raw"}},
    {Plain,
     0,
     {"--seed", "1", "--fit", "1280x1024", "-o", "@/fit-1280x1024.png"},
     "",
     {"fit-1280x1024.png"}},
    {Plain,
     0,
     {"--seed", "1", "--fit", "400x150", "-o", "@/fit-400x150.ppm"},
     "",
     {"fit-400x150.ppm"}},
    {Plain, 0, {"--seed", "1", "-o", "@/keep.png"}, "", {"keep.png"}},
    {Plain, 0, {"--seed", "1", "-o", "@/link.png"}, "", {"keep.png"}},
    {Plain, 0, {"--seed", "1"}, "", {}, "picture"},
    {Plain, 0, {"--seed", "1", "-o", "/dev/stdout", "--format", "ppm"}, "", {}, "picture.ppm"},
    {Plain, 0, {"--seed", "1", "--format", "raw"}, "", {}, "picture.raw"},
    {Plain, 0, {"--seed", "1", "--output=/dev/fd/1", "--format=png"}, "", {}, "picture"},
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
    {AddressSpace200M,
     1,
     {"--seed", "1", "--fit", "16384x16384", "-o", "@/keep.png"},
     "not enough memory to render a 16384x16384 picture"},
    // Command lines.
    {Plain, 2, {"--seed", "5", "--seed", "6"}, "--seed given twice"},
    {Plain, 2, {"--seed", "5", "-o", "@/a.png", "--output", "@/b.png"}, "--output given twice"},
    {Plain, 2, {"--seed", "1", "--frobnicate"}, "--frobnicate"},
    {Plain, 2, {"--seed", "1", "--fit", "640x480", "--scale", "2", "-o", "@/a.png"}, "--fit"},
    {Plain,
     2,
     {"--seed", "1", "-o", "@/keep.png", "--format", "ppm"},
     "--format ppm does not match"},
    {Plain, 2, {"--seed", "1", "--format", "gif"}, "--format takes png, ppm or raw, not 'gif'"},
    // Signals, sent while the tool is stuck writing the FIFO vistrel-0.png: temporary files go,
    // finished pictures stay, the status is the signal's. Unnamed files leave nothing even on
    // SIGKILL.
    {Plain, 128 + SIGINT, {"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/vistrel-0.png"}},
    {Plain, 128 + SIGTERM, {"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/vistrel-0.png"}},
    {Plain, 128 + SIGHUP, {"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/vistrel-0.png"}},
    {Plain, 128 + SIGKILL, {"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/vistrel-0.png"}},
    {NoUnnamedFiles,
     128 + SIGINT,
     {"--seed", "1", "--gdi-script", "@/keep.txt", "-o", "@/vistrel-0.png"}},
    {NoUnnamedFiles, 128 + SIGTERM, {"--seeds", "0-100000", "--scale", "4", "--out-dir", "@/"}},
    {Plain, 128 + SIGHUP, {"--seeds", "0-100000", "--scale", "4", "--out-dir", "@/"}},
    {NoUnnamedFiles, 0, {"--seed", "1", "-o", "@/keep.png"}, "", {"keep.png"}},
    // Standard streams and open descriptors are written in place, appending where they append.
    {StdoutAppend,
     0,
     {"--seed", "1", "--gdi-script", "/dev/stdout", "-o", "@/a.png"},
     "",
     {"a.png"},
     "script"},
    {StdoutAppend,
     0,
     {"--seed", "1", "--gdi-script", "/dev/stderr", "-o", "@/a.png"},
     "script",
     {"a.png"}},
    {StdoutAppend,
     0,
     {"--seed", "1", "--gdi-script", "/dev/fd/1", "-o", "@/a.png"},
     "",
     {"a.png"},
     "script"},
    {StdoutAppend,
     0,
     {"--seed", "1", "--gdi-script", "/proc/self/fd/2", "-o", "@/a.png"},
     "script",
     {"a.png"}},
    // Links: a loop is an error, a dangling link is written through, a missing folder is named.
    {Plain, 1, {"--seed", "1", "-o", "@/loop-a.png"}, "loop-a.png: Too many levels of symbolic"},
    {Plain, 0, {"--seed", "1", "-o", "@/dangling.png"}, "", {"target.png"}},
    {Plain, 1, {"--seed", "1", "-o", "@/astray.png"}, "astray.png: No such file or directory"},
    // Permissions: what the user may not write stays; set-user-id and set-group-id go.
    {Unprivileged, 1, {"--seed", "1", "-o", "@/readonly.png"}, "readonly.png: Permission denied"},
    {Unprivileged, 0, {"--seed", "1", "-o", "@/a.png"}, "", {"a.png"}},
    {Plain, 0, {"--seed", "1", "-o", "@/setuid.png"}, "", {"setuid.png"}},
    // The longest path the system takes, and names that escape or have no base.
    {Plain, 0, {"--seed", "1", "-o", "@4086"}, "", {"@4086"}},
    {Plain,
     1,
     {"--seed", "1", "-o", "@/no\xc2\x9b[31m\xff/a.png"},
     "no\\x9b[31m\\xff/a.png: No such"},
    {Plain, 2, {"--seed", "1", "-o", "@/./.png"}, "must end in .png"},
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
    MakeFolder(folder, c);
    std::vector<std::string> args = c.args;
    for (std::string& a : args) {
        a = Expanded(a, folder);
    }
    std::set<std::string> written;
    for (const std::string& name : c.written) {
        written.insert(name == "@4086"
                           ? fs::path(Expanded(name, folder)).lexically_relative(folder).string()
                           : name);
    }
    if (c.written.count("@4086") != 0) {
        fs::create_directories(fs::path(Expanded("@4086", folder)).parent_path());
    }
    SCOPED_TRACE(Joined(c.args));
    const int sent = c.status > 128 ? c.status - 128 : 0;
    if (sent == SIGKILL && !HasUnnamedFiles(folder)) {
        fs::remove_all(scratch);
        GTEST_SKIP() << "the file system has no unnamed files, so SIGKILL leaves a named one";
    }

    const test::ProcessResult run = RunTool(args, c.setting, scratch, sent, folder / Fifo);

    if (c.setting == Unprivileged && run.status == CannotDropPrivileges) {
        fs::remove_all(scratch);
        GTEST_SKIP() << "running as root, and the user nobody cannot be taken on";
    }
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.status == 0) {
        EXPECT_TRUE(run.err == ExpectedStream(c, c.message))
            << "standard error begins " << run.err.substr(0, 80);
    } else if (sent == 0) {
        EXPECT_EQ(run.err.rfind("vistrel-render: ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "not one line: " << run.err;
        EXPECT_TRUE(IsInertUtf8(run.err)) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_TRUE(run.out == ExpectedStream(c, c.out))
        << "standard output begins " << run.out.substr(0, 80);

    std::set<std::string> expectedFiles = {"dir.png", Fifo};
    expectedFiles.insert(KeptFiles.begin(), KeptFiles.end());
    for (const auto& link : Links) {
        expectedFiles.insert(link.first);
    }
    for (const std::string& name : written) {
        for (fs::path part = name; !part.empty(); part = part.parent_path()) {
            expectedFiles.insert(part.string());
        }
    }
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).string();
        // A sweep ended by a signal leaves the pictures it finished, whichever they are.
        if (sent != 0 && name.rfind("vistrel-", 0) == 0 && name != Fifo) {
            written.insert(name);
            expectedFiles.insert(name);
        }
        files.insert(name);
    }
    EXPECT_EQ(files, expectedFiles) << "a temporary file was left behind, or a file is missing";
    const mode_t newFileMode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return 0666 & ~mask;
    }();
    for (const std::string& name : expectedFiles) {
        const fs::path path = folder / name;
        if (written.count(name) != 0 && fs::is_regular_file(path)) {
            EXPECT_TRUE(test::ReadFile(path) ==
                        ExpectedPicture(fs::path(name).filename(), ScaleOf(c.args)))
                << name << " is not the picture";
            const bool replaced = KeptFiles.count(name) != 0;
            EXPECT_EQ(ModeOf(path), replaced ? KeptFileMode(name) & 01777 : newFileMode) << name;
        } else if (KeptFiles.count(name) != 0) {
            EXPECT_TRUE(test::ReadFile(path) == Kept) << name << " was touched";
            EXPECT_EQ(ModeOf(path), KeptFileMode(name)) << name;
        } else if (Links.count(name) != 0) {
            EXPECT_TRUE(fs::is_symlink(path) && fs::read_symlink(path) == Links.at(name)) << name;
        }
    }
    EXPECT_TRUE(fs::is_fifo(folder / Fifo));
    fs::remove_all(scratch);
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderProcessTest, testing::ValuesIn(Cases));

}  // namespace
}  // namespace vistrel
