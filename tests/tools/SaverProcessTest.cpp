#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "raster/Palette.h"
#include "scene/Picture.h"
#include "scene/SceneBitmap.h"
#include "scene/ScreenFit.h"
#include "tests/support/Process.h"
#include "tools/common/UniqueFd.h"

// The saver run as a process on a virtual X server, its pixels read back and compared with the
// render tool's picture of the same scene, placed by the shared fit.
namespace vistrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint32_t RunSeed = 1765432109;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

fs::path Scratch() {
    const fs::path folder =
        fs::temp_directory_path() / ("vistrel-saver-test-" + std::to_string(getpid()));
    fs::create_directories(folder);
    return folder;
}

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// A virtual X server of its own, on a display number it picks itself. It keeps going as it is
// when its last client leaves, so that a test's client that connects just then is not dropped
// by a reset.
class VirtualServer {
  public:
    VirtualServer(const fs::path& scratch, const std::string& screen) {
        int ready[2];
        EXPECT_EQ(pipe2(ready, O_CLOEXEC), 0);
        const UniqueFd readyToRead(ready[0]);
        UniqueFd readyToWrite(ready[1]);
        const UniqueFd log(open((scratch / ("xvfb-" + screen + ".log")).c_str(),
                                O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        server.emplace(
            test::ProcessSetup{.argv = {XVFB, "-displayfd", std::to_string(ready[1]), "-screen",
                                        "0", screen, "-nolisten", "tcp", "-noreset"},
                               .output = log.Get(),
                               .error = log.Get(),
                               .inherited = {ready[1]}});
        // Only the server writes there now, so its end ends the wait.
        readyToWrite = UniqueFd();
        std::string number;
        char c = 0;
        while (read(readyToRead.Get(), &c, 1) == 1 && c != '\n') {
            number += c;
        }
        display = ":" + number;
    }
    ~VirtualServer() {
        Resume();
        kill(server->Id(), SIGTERM);
        server->Wait(5s);
    }

    // Stops the server where it is: it reads and answers nothing until resumed.
    void Pause() { kill(server->Id(), SIGSTOP); }
    void Resume() { kill(server->Id(), SIGCONT); }

    std::string display;

  private:
    std::optional<test::Process> server;
};

// The picture the render tool paints for scene k of the run, read from its colour numbers.
SceneBitmap RenderedScene(const fs::path& scratch, std::uint32_t k) {
    const fs::path raw = scratch / ("scene-" + std::to_string(k) + ".raw");
    test::Process render(
        test::ProcessSetup{.argv = {VISTREL_RENDER, "--run-seed", std::to_string(RunSeed),
                                    "--scene", std::to_string(k), "-o", raw.string()}});
    EXPECT_EQ(render.Wait(60s), 0) << render.Err();
    const std::string bytes = test::ReadFile(raw);
    EXPECT_EQ(bytes.size(), std::size_t{PictureWidth} * PictureHeight);
    return {PictureWidth, PictureHeight, std::vector<ColourIndex>(bytes.begin(), bytes.end())};
}

// A client of the virtual server that makes windows and reads their pixels.
class Client {
  public:
    explicit Client(const std::string& display)
        : connection(xcb_connect(display.c_str(), nullptr), xcb_disconnect),
          screen(xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data) {}

    xcb_window_t Root() const { return screen->root; }

    // A mapped window at the top left, white until painted, in the screen's own visual or in a
    // 32-bit one.
    xcb_window_t CreateWindow(std::uint16_t width, std::uint16_t height, bool deep) {
        xcb_connection_t* c = connection.get();
        const xcb_window_t id = xcb_generate_id(c);
        std::uint8_t depth = XCB_COPY_FROM_PARENT;
        xcb_visualid_t visual = screen->root_visual;
        std::vector<std::uint32_t> values = {0xFFFFFFFF, 0};
        std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL;
        if (deep) {
            visual = VisualOfDepth(32);
            EXPECT_NE(visual, 0u) << "the server has no 32-bit visual";
            depth = 32;
            const xcb_colormap_t colormap = xcb_generate_id(c);
            xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
            values.push_back(colormap);
            mask |= XCB_CW_COLORMAP;
        }
        xcb_create_window(c, depth, id, screen->root, 0, 0, width, height, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, visual, mask, values.data());
        xcb_map_window(c, id);
        xcb_flush(c);
        return id;
    }

    void Resize(xcb_window_t window, std::uint32_t width, std::uint32_t height) {
        const std::uint32_t size[] = {width, height};
        xcb_configure_window(connection.get(), window,
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        xcb_flush(connection.get());
    }

    void Destroy(xcb_window_t window) {
        xcb_destroy_window(connection.get(), window);
        xcb_flush(connection.get());
    }

    // The top-level window titled `title`, or none.
    std::optional<xcb_window_t> Titled(const std::string& title) {
        xcb_connection_t* c = connection.get();
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, screen->root), nullptr));
        if (!tree) {
            return std::nullopt;
        }
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const Reply<xcb_get_property_reply_t> name(xcb_get_property_reply(
                c, xcb_get_property(c, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 64),
                nullptr));
            if (name && std::string(static_cast<const char*>(xcb_get_property_value(name.get())),
                                    xcb_get_property_value_length(name.get())) == title) {
                return children[i];
            }
        }
        return std::nullopt;
    }

    // What a window manager sends when the user closes the window.
    void AskToClose(xcb_window_t window) {
        xcb_connection_t* c = connection.get();
        auto atom = [c](const char* name) {
            const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
                c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                nullptr));
            return reply->atom;
        };
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom("WM_PROTOCOLS");
        message.data.data32[0] = atom("WM_DELETE_WINDOW");
        xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(c);
    }

    // Whether the window's pixels in the rectangle are the picture as the fit for a window of
    // width × height shows it, black around it.
    bool Shows(xcb_window_t window, const SceneBitmap& picture, std::int32_t width,
               std::int32_t height, std::int32_t left, std::int32_t top, std::int32_t right,
               std::int32_t bottom) {
        xcb_connection_t* c = connection.get();
        const Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
        const Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<std::int16_t>(left),
                          static_cast<std::int16_t>(top), static_cast<std::uint16_t>(right - left),
                          static_cast<std::uint16_t>(bottom - top), 0xFFFFFFFF),
            nullptr));
        if (!geometry || !attributes || !image || geometry->width != width ||
            geometry->height != height) {
            return false;
        }
        const xcb_visualtype_t* visual = Visual(attributes->visual);
        const auto* pixels =
            reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
        const ScreenFit fit = FitOnScreen(picture.width, picture.height, width, height);
        for (std::int32_t y = top; y < bottom; ++y) {
            for (std::int32_t x = left; x < right; ++x) {
                const std::int32_t px = x - fit.screenX;
                const std::int32_t py = y - fit.screenY;
                const bool inside = px >= 0 && py >= 0 && px < fit.sourceWidth * fit.scale &&
                                    py < fit.sourceHeight * fit.scale;
                const ColorRef expected =
                    inside ? StoredColor(picture.At(fit.sourceX + px / fit.scale,
                                                    fit.sourceY + py / fit.scale))
                           : 0;
                const std::uint32_t p =
                    pixels[static_cast<std::size_t>(y - top) * (right - left) + (x - left)];
                auto channel = [&](std::uint32_t mask) {
                    return (p & mask) >> std::countr_zero(mask);
                };
                if (channel(visual->red_mask) != RedOf(expected) ||
                    channel(visual->green_mask) != GreenOf(expected) ||
                    channel(visual->blue_mask) != BlueOf(expected)) {
                    return false;
                }
            }
        }
        return true;
    }

    bool ShowsWhole(xcb_window_t window, const SceneBitmap& picture, std::int32_t width,
                    std::int32_t height) {
        return Shows(window, picture, width, height, 0, 0, width, height);
    }

  private:
    const xcb_visualtype_t* Visual(xcb_visualid_t id) const {
        for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == id) {
                    return v.data;
                }
            }
        }
        return nullptr;
    }

    xcb_visualid_t VisualOfDepth(std::uint8_t depth) const {
        for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
            auto v = xcb_depth_visuals_iterator(d.data);
            if (d.data->depth == depth && v.rem > 0 &&
                v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR) {
                return v.data->visual_id;
            }
        }
        return 0;
    }

    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> connection;
    xcb_screen_t* screen;
};

// Resizes the window back and forth, from a connection of its own and as fast as the server
// takes it, until it goes. Every new size of so large a window asks the saver for a picture of
// megabytes.
class ResizeFlood {
  public:
    ResizeFlood(const std::string& display, xcb_window_t window)
        : resizer([this, display, window] {
              Client client(display);
              for (bool larger = false; !stop; larger = !larger) {
                  client.Resize(window, larger ? 16384 : 16000, larger ? 16384 : 16000);
              }
          }) {}
    ~ResizeFlood() {
        stop = true;
        resizer.join();
    }
    ResizeFlood(const ResizeFlood&) = delete;
    ResizeFlood& operator=(const ResizeFlood&) = delete;

  private:
    std::atomic<bool> stop = false;
    std::thread resizer;
};

std::vector<std::string> Joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class SaverProcessTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        scratch = Scratch();
        server = std::make_unique<VirtualServer>(scratch, "1280x800x24");
        sceneOne = RenderedScene(scratch, 1);
        sceneTwo = RenderedScene(scratch, 2);
    }
    static void TearDownTestSuite() {
        server.reset();
        fs::remove_all(scratch);
    }

    test::Process StartSaver(const std::vector<std::string>& args,
                             std::vector<std::pair<std::string, std::string>> environment = {}) {
        std::vector<std::string> argv = {VISTREL_SAVER};
        argv.insert(argv.end(), args.begin(), args.end());
        environment.insert(environment.begin(), {"DISPLAY", server->display});
        return test::Process({.argv = argv, .environment = environment});
    }

    // Ends the saver as the screensaver does; it must go at once, with status 0 and no word.
    void Terminate(test::Process& saver, int signal = SIGTERM) {
        kill(saver.Id(), signal);
        EXPECT_EQ(saver.Wait(2s), 0);
        EXPECT_EQ(saver.Err(), "");
    }

    static inline fs::path scratch;
    static inline std::unique_ptr<VirtualServer> server;
    static inline SceneBitmap sceneOne;
    static inline SceneBitmap sceneTwo;
    Client client{server->display};
};

TEST_F(SaverProcessTest, PaintsTheRootWindowWhenTheScreensaverNamesNone) {
    test::Process saver =
        StartSaver({"-root", "--run-seed", std::to_string(RunSeed)}, {{"XSCREENSAVER_WINDOW", ""}});
    EXPECT_TRUE(Eventually([&] { return client.ShowsWhole(client.Root(), sceneOne, 1280, 800); }));
    Terminate(saver);
}

// The window it is given, by id or by the screensaver's variable, followed through resizes
// down to a pixel and up past the screen.
TEST_F(SaverProcessTest, FollowsTheWindowItIsGiven) {
    struct Size {
        std::int32_t width, height;
    };
    const Size sizes[] = {{300, 100}, {1200, 400}, {1, 1}, {16384, 16384}, {700, 250}};
    for (const bool byVariable : {false, true}) {
        SCOPED_TRACE(byVariable ? "XSCREENSAVER_WINDOW, 32-bit visual" : "--window-id, 24-bit");
        const xcb_window_t window = client.CreateWindow(PictureWidth, PictureHeight, byVariable);
        const std::string id = std::to_string(window);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%x", window);
        // Scene 1 all along: the next is an hour away.
        const std::vector<std::string> run = {"--delay", "3600", "--run-seed",
                                              std::to_string(RunSeed)};
        test::Process saver =
            byVariable ? StartSaver(Joined({"--root"}, run), {{"XSCREENSAVER_WINDOW", hex}})
                       : StartSaver(Joined({"-window-id", id}, run));
        EXPECT_TRUE(Eventually(
            [&] { return client.ShowsWhole(window, sceneOne, PictureWidth, PictureHeight); }));
        for (const Size& size : sizes) {
            SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
            client.Resize(window, static_cast<std::uint32_t>(size.width),
                          static_cast<std::uint32_t>(size.height));
            // Only the part on the screen can be read back.
            EXPECT_TRUE(Eventually([&] {
                return client.Shows(window, sceneOne, size.width, size.height, 0, 0,
                                    std::min(size.width, 1280), std::min(size.height, 800));
            }));
        }
        Terminate(saver);
        client.Destroy(window);
    }
}

// Two seconds, so that scene 1 is still on show when the test first looks even on a busy machine.
TEST_F(SaverProcessTest, MovesOnAfterTheDelay) {
    const xcb_window_t window = client.CreateWindow(PictureWidth, PictureHeight, false);
    test::Process saver = StartSaver({"--window-id", std::to_string(window), "--delay", "2",
                                      "--run-seed", std::to_string(RunSeed)});
    EXPECT_TRUE(Eventually(
        [&] { return client.ShowsWhole(window, sceneOne, PictureWidth, PictureHeight); }));
    EXPECT_TRUE(Eventually(
        [&] { return client.ShowsWhole(window, sceneTwo, PictureWidth, PictureHeight); }));
    Terminate(saver, SIGINT);
    client.Destroy(window);
}

TEST_F(SaverProcessTest, EndsWithItsWindow) {
    const xcb_window_t window = client.CreateWindow(PictureWidth, PictureHeight, false);
    test::Process saver =
        StartSaver({"--window-id", std::to_string(window), "--run-seed", std::to_string(RunSeed)});
    EXPECT_TRUE(Eventually(
        [&] { return client.ShowsWhole(window, sceneOne, PictureWidth, PictureHeight); }));
    client.Destroy(window);
    EXPECT_EQ(saver.Wait(5s), 0);
}

TEST_F(SaverProcessTest, OpensAWindowOfItsOwnThatClosesLikeAnyOther) {
    test::Process saver = StartSaver({"--run-seed", std::to_string(RunSeed), "--delay", "3600"});
    std::optional<xcb_window_t> window;
    EXPECT_TRUE(Eventually([&] { return (window = client.Titled("Vistrel")).has_value(); }));
    ASSERT_TRUE(window);
    EXPECT_TRUE(Eventually(
        [&] { return client.ShowsWhole(*window, sceneOne, 2 * PictureWidth, 2 * PictureHeight); }));
    client.AskToClose(*window);
    EXPECT_EQ(saver.Wait(5s), 0);
}

// The screensaver's signal ends the saver within seconds whatever its display does meanwhile: with
// a flood of resizes it acts between events, and a server that has stopped reading and answering
// is given up after a bounded wait, as a display that is lost.
TEST_F(SaverProcessTest, EndsSoonAfterTheSignalWhateverTheDisplayDoes) {
    enum class Trouble { ResizeFlood, StoppedServer };
    struct Case {
        const char* name;
        Trouble trouble;
        std::chrono::milliseconds limit;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {"a flood of resizes", Trouble::ResizeFlood, 3s, 0, ""},
        {"a stopped server", Trouble::StoppedServer, 8s, 1,
         "vistrel-saver: lost the connection to the display\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A server of the case's own, so that what it goes through touches no other test.
        VirtualServer display(scratch, "1280x800x24");
        Client own(display.display);
        const xcb_window_t window = own.CreateWindow(PictureWidth, PictureHeight, false);
        // A new scene every second, so that the saver has always something to paint soon.
        test::Process saver = StartSaver({"--window-id", std::to_string(window), "--delay", "1",
                                          "--run-seed", std::to_string(RunSeed)},
                                         {{"DISPLAY", display.display}});
        EXPECT_TRUE(Eventually(
            [&] { return own.ShowsWhole(window, sceneOne, PictureWidth, PictureHeight); }));
        std::optional<ResizeFlood> flood;
        if (c.trouble == Trouble::ResizeFlood) {
            flood.emplace(display.display, window);
        } else {
            display.Pause();
        }
        // Time for the flood to fill the saver's queue, or for the next scene to get the saver
        // stuck in a request the stopped server never takes.
        std::this_thread::sleep_for(3s);
        const auto signalled = std::chrono::steady_clock::now();
        kill(saver.Id(), SIGTERM);
        const std::optional<int> status = saver.Wait(c.limit);
        EXPECT_EQ(status, c.status)
            << "after "
            << std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count()
            << " s";
        EXPECT_EQ(saver.Err(), c.error);
    }
}

// Every refusal is one line on standard error and the status says whose fault it was.
TEST_F(SaverProcessTest, RefusesWithOneLineAndAStatus) {
    const VirtualServer eightBit(scratch, "640x480x8");
    struct Case {
        std::vector<std::string> args;
        std::vector<std::pair<std::string, std::string>> environment;
        int status;
        std::string error;
    };
    const std::string unusedDisplay = ":" + std::to_string(60000 + getpid() % 5000);
    const Case cases[] = {
        {{"--delay", "0"},
         {},
         2,
         "--delay takes a whole number of seconds from 1 to 3600, not '0'"},
        {{"--delay", "3601"},
         {},
         2,
         "--delay takes a whole number of seconds from 1 to 3600, not '3601'"},
        {{"--frobnicate"}, {}, 2, "unknown option '--frobnicate' (see --help)"},
        {{"--root"},
         {{"XSCREENSAVER_WINDOW", "0x12zz"}},
         2,
         "XSCREENSAVER_WINDOW is not a window id: '0x12zz'"},
        {{"--window-id", "0x1fffff0"}, {}, 2, "there is no window 0x1fffff0 on the display"},
        {{"--root"}, {{"DISPLAY", ""}}, 2, "DISPLAY is not set"},
        {{"--root"},
         {{"DISPLAY", unusedDisplay}},
         1,
         "cannot open display '" + unusedDisplay + "'"},
        {{"--root"}, {{"DISPLAY", eightBit.display}}, 1, "window 0x"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.args) {
            line += a + " ";
        }
        SCOPED_TRACE(line);
        test::Process saver = StartSaver(c.args, c.environment);
        EXPECT_EQ(saver.Wait(10s), c.status);
        const std::string& error = saver.Err();
        EXPECT_EQ(error.rfind("vistrel-saver: " + c.error, 0), 0u) << error;
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    }
}

}  // namespace
}  // namespace vistrel
