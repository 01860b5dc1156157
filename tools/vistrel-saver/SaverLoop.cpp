#include "tools/vistrel-saver/SaverLoop.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "scene/Picture.h"
#include "tools/common/CommandLine.h"
#include "tools/common/UniqueFd.h"
#include "tools/vistrel-saver/PixelFormat.h"
#include "tools/vistrel-saver/WindowPicture.h"

namespace vistrel {
namespace {

using Clock = std::chrono::steady_clock;

// A window of the saver's own opens with the picture twice over.
constexpr std::uint16_t OwnWindowScale = 2;
// X coordinates are 16-bit signed: a larger window is painted in its addressable part.
constexpr std::int32_t LargestSide = 32767;
// The most events taken in one turn of the loop, so that a flood of them cannot hold back a
// signal or the next scene.
constexpr int EventsPerTurn = 256;
// How long the display has, once a signal has asked the saver to end, to take the requests in
// flight and answer the one the saver waits on.
constexpr std::chrono::seconds SignalGrace(2);
// The most bytes of image sent in one request (fewer when the server takes less), which is
// also all the memory a repaint needs beyond the prepared picture.
constexpr std::size_t LargestStripBytes = std::size_t{1} << 20;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

std::string WindowName(xcb_window_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(id));
    return text;
}

SaverFailure CannotWatchSignals(const std::string& reason) {
    return SaverFailure(DisplayError, "cannot watch for signals: " + reason);
}

// SIGTERM and SIGINT as a descriptor the event loop polls, so a signal ends the wait at once
// and the program ends through its normal clean-up.
class SignalDescriptor {
  public:
    SignalDescriptor() {
        sigemptyset(&signals);
        sigaddset(&signals, SIGTERM);
        sigaddset(&signals, SIGINT);
        sigprocmask(SIG_BLOCK, &signals, &previous);
        fd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
        if (fd < 0) {
            const int error = errno;
            sigprocmask(SIG_SETMASK, &previous, nullptr);
            throw CannotWatchSignals(std::strerror(error));
        }
    }
    ~SignalDescriptor() {
        // The saver is ending anyway: a signal still pending must not kill it on the way out.
        while (Take()) {
        }
        close(fd);
        sigprocmask(SIG_SETMASK, &previous, nullptr);
    }
    SignalDescriptor(const SignalDescriptor&) = delete;
    SignalDescriptor& operator=(const SignalDescriptor&) = delete;

    int Fd() const { return fd; }
    // Takes a pending signal, if any, so that it is not delivered once the mask is restored.
    bool Take() const {
        signalfd_siginfo info;
        return read(fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info);
    }

  private:
    sigset_t signals;
    sigset_t previous;
    int fd = -1;
};

// Once a signal has asked the saver to end, gives the display SignalGrace to take what is in
// flight, then shuts the connection's socket. A server that has stopped reading would otherwise
// hold the saver in a write or in the wait for a reply for as long as it stays stopped; the shut
// socket fails that request, as a display that is lost.
class EndingDeadline {
  public:
    EndingDeadline(const SignalDescriptor& signals, int displayFd)
        : ended(eventfd(0, EFD_CLOEXEC)) {
        if (!ended.Valid()) {
            throw CannotWatchSignals(std::strerror(errno));
        }
        try {
            watcher = std::thread(
                [this, signalFd = signals.Fd(), displayFd] { Watch(signalFd, displayFd); });
        } catch (const std::system_error& error) {
            throw CannotWatchSignals(error.what());
        }
    }
    ~EndingDeadline() {
        const std::uint64_t one = 1;
        write(ended.Get(), &one, sizeof one);
        watcher.join();
    }
    EndingDeadline(const EndingDeadline&) = delete;
    EndingDeadline& operator=(const EndingDeadline&) = delete;

  private:
    void Watch(int signalFd, int displayFd) const {
        // The signal is left for the loop to take; here it only starts the clock.
        pollfd watched[] = {{signalFd, POLLIN, 0}, {ended.Get(), POLLIN, 0}};
        while (poll(watched, 2, -1) < 0 && errno == EINTR) {
        }
        if (watched[1].revents != 0) {
            return;
        }
        pollfd end{ended.Get(), POLLIN, 0};
        const int grace = static_cast<int>(std::chrono::milliseconds(SignalGrace).count());
        if (poll(&end, 1, grace) == 0) {
            shutdown(displayFd, SHUT_RDWR);
        }
    }

    UniqueFd ended;
    std::thread watcher;
};

SaverFailure LostDisplay() {
    return SaverFailure(DisplayError, "lost the connection to the display");
}

// The window painted into, as the server describes it.
struct TargetWindow {
    xcb_window_t id = XCB_NONE;
    xcb_window_t root = XCB_NONE;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t depth = 0;
    xcb_visualid_t visual = 0;
};

xcb_screen_t* ScreenNumber(xcb_connection_t* c, int number) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (; it.rem > 0 && number > 0; --number) {
        xcb_screen_next(&it);
    }
    return it.rem > 0 ? it.data : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

// A window of the saver's own, closed through the window manager like any other.
xcb_window_t CreateOwnWindow(xcb_connection_t* c, const xcb_screen_t& screen, xcb_atom_t protocols,
                             xcb_atom_t deleteWindow) {
    const xcb_window_t id = xcb_generate_id(c);
    const std::uint32_t values[] = {screen.black_pixel,
                                    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, id, screen.root, 0, 0, OwnWindowScale * PictureWidth,
                      OwnWindowScale * PictureHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen.root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const std::string title = "Vistrel";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, protocols, XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow);
    xcb_map_window(c, id);
    return id;
}

// Asks for the window's resizes, exposures and end, and reads its size and visual; a window
// that does not exist is a bad command line.
TargetWindow WatchWindow(xcb_connection_t* c, xcb_window_t id) {
    const std::uint32_t mask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const Reply<xcb_generic_error_t> selectError(xcb_request_check(
        c, xcb_change_window_attributes_checked(c, id, XCB_CW_EVENT_MASK, &mask)));
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr));
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (xcb_connection_has_error(c)) {
        throw LostDisplay();
    }
    if (selectError || !attributes || !geometry) {
        throw SaverFailure(UsageError, "there is no window " + WindowName(id) + " on the display");
    }
    return {
        id, geometry->root, geometry->width, geometry->height, geometry->depth, attributes->visual};
}

// The window's pixel format, if it is one the saver paints in.
PixelFormat FormatOf(xcb_connection_t* c, const TargetWindow& window) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_visualtype_t* visual = nullptr;
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem > 0 && !visual;
         xcb_screen_next(&screen)) {
        for (auto depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem > 0 && !visual;
             xcb_depth_next(&depth)) {
            for (auto v = xcb_depth_visuals_iterator(depth.data); v.rem > 0;
                 xcb_visualtype_next(&v)) {
                if (v.data->visual_id == window.visual) {
                    visual = v.data;
                    break;
                }
            }
        }
    }
    int bitsPerPixel = 0;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
        if (f.data->depth == window.depth) {
            bitsPerPixel = f.data->bits_per_pixel;
        }
    }
    std::optional<PixelFormat> format;
    if (visual && visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR) {
        format = PixelFormat::ForTrueColor(visual->red_mask, visual->green_mask, visual->blue_mask,
                                           window.depth, bitsPerPixel,
                                           setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST);
    }
    if (!format) {
        throw SaverFailure(DisplayError, "window " + WindowName(window.id) +
                                             " is in a visual of depth " +
                                             std::to_string(window.depth) +
                                             "; only 24- and 32-bit TrueColor can be painted");
    }
    return *format;
}

// A rectangle of window pixels, right and bottom exclusive.
struct Area {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The part of the window that lies on its screen. Nothing beyond it can be seen, so a window
// far larger than the screen costs no more to paint than the screen.
Area OnScreen(xcb_connection_t* c, const TargetWindow& window) {
    const Reply<xcb_get_geometry_reply_t> screen(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window.root), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window.id, window.root, 0, 0), nullptr));
    Area area{0, 0, std::min(window.width, LargestSide), std::min(window.height, LargestSide)};
    if (screen && origin) {
        area.left = std::max(area.left, -origin->dst_x);
        area.top = std::max(area.top, -origin->dst_y);
        area.right = std::min<std::int32_t>(area.right, screen->width - origin->dst_x);
        area.bottom = std::min<std::int32_t>(area.bottom, screen->height - origin->dst_y);
    }
    return area;
}

// Black around the picture, then the part of the picture on the screen, in strips that each
// fit in one request.
void Paint(xcb_connection_t* c, const TargetWindow& window, xcb_gcontext_t black,
           const WindowPicture& picture, std::vector<std::uint8_t>& strip) {
    const ScreenFit& fit = picture.Fit();
    const Area shown{fit.screenX, fit.screenY, fit.screenX + picture.Width(),
                     fit.screenY + picture.Height()};
    const std::int32_t width = std::min(window.width, LargestSide);
    const std::int32_t height = std::min(window.height, LargestSide);
    auto rectangle = [](std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
        return xcb_rectangle_t{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                               static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h)};
    };
    const xcb_rectangle_t around[] = {
        rectangle(0, 0, width, shown.top),
        rectangle(0, shown.bottom, width, height - shown.bottom),
        rectangle(0, shown.top, shown.left, picture.Height()),
        rectangle(shown.right, shown.top, width - shown.right, picture.Height()),
    };
    xcb_poly_fill_rectangle(c, window.id, black, 4, around);

    const Area screen = OnScreen(c, window);
    const Area sent{std::max(shown.left, screen.left), std::max(shown.top, screen.top),
                    std::min(shown.right, screen.right), std::min(shown.bottom, screen.bottom)};
    if (sent.left >= sent.right || sent.top >= sent.bottom) {
        return;
    }
    // A request's length counts 4-byte units; the image's header takes 6 of them (7 with the
    // big-requests length). One row always fits: 32767 pixels are under the core limit.
    const std::size_t requestBytes = std::size_t{xcb_get_maximum_request_length(c)} * 4 - 28;
    const std::size_t rowBytes =
        static_cast<std::size_t>(sent.right - sent.left) * PixelFormat::BytesPerPixel;
    const std::size_t skippedBytes =
        static_cast<std::size_t>(sent.left - shown.left) * PixelFormat::BytesPerPixel;
    const std::int32_t stripRows = static_cast<std::int32_t>(
        std::max<std::size_t>(1, std::min(requestBytes, LargestStripBytes) / rowBytes));
    strip.resize(rowBytes * static_cast<std::size_t>(std::min(stripRows, sent.bottom - sent.top)));
    for (std::int32_t top = sent.top; top < sent.bottom; top += stripRows) {
        const std::int32_t rows = std::min(stripRows, sent.bottom - top);
        for (std::int32_t y = 0; y < rows; ++y) {
            const auto row = picture.Row(top + y - shown.top).subspan(skippedBytes, rowBytes);
            std::copy(row.begin(), row.end(),
                      strip.begin() + rowBytes * static_cast<std::size_t>(y));
        }
        xcb_put_image(
            c, XCB_IMAGE_FORMAT_Z_PIXMAP, window.id, black,
            static_cast<std::uint16_t>(sent.right - sent.left), static_cast<std::uint16_t>(rows),
            static_cast<std::int16_t>(sent.left), static_cast<std::int16_t>(top), 0, window.depth,
            static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(rows)), strip.data());
    }
}

// What a turn's events ask of the saver.
struct WindowNews {
    bool exposed = false;  // a repaint
    bool resized = false;  // a new size, already in the window
    bool ended = false;    // the window has gone, or its user closed it
    bool more = false;     // events are left for the next turn
};

// Takes the events that have come, EventsPerTurn at the most.
WindowNews TakeEvents(xcb_connection_t* c, TargetWindow& window, xcb_atom_t protocols,
                      xcb_atom_t deleteWindow) {
    WindowNews news;
    for (int taken = 0; taken < EventsPerTurn; ++taken) {
        const Reply<xcb_generic_event_t> event{xcb_poll_for_event(c)};
        if (!event) {
            return news;
        }
        switch (event->response_type & 0x7F) {
            case XCB_EXPOSE:
                news.exposed |= reinterpret_cast<xcb_expose_event_t*>(event.get())->count == 0;
                break;
            case XCB_CONFIGURE_NOTIFY: {
                const auto* configure =
                    reinterpret_cast<xcb_configure_notify_event_t*>(event.get());
                if (configure->width != window.width || configure->height != window.height) {
                    window.width = configure->width;
                    window.height = configure->height;
                    news.resized = true;
                }
                break;
            }
            case XCB_DESTROY_NOTIFY:
                news.ended = true;
                return news;
            case XCB_CLIENT_MESSAGE: {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event.get());
                if (message->type == protocols && message->data.data32[0] == deleteWindow) {
                    news.ended = true;
                    return news;
                }
                break;
            }
            default:
                // Errors of requests in flight when the window went away, and events the saver
                // does not need.
                break;
        }
    }
    news.more = true;
    return news;
}

int MillisecondsUntil(Clock::time_point when) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

}  // namespace

int RunSaver(const SaverCommand& command) {
    // First, so that a signal during start-up waits for the loop instead of killing.
    const SignalDescriptor signals;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        throw SaverFailure(UsageError, "DISPLAY is not set");
    }
    int screenNumber = 0;
    const Connection connection(xcb_connect(nullptr, &screenNumber));
    xcb_connection_t* c = connection.get();
    // A failed connection has no setup to read screens from.
    const xcb_screen_t* screen =
        xcb_connection_has_error(c) ? nullptr : ScreenNumber(c, screenNumber);
    if (screen == nullptr) {
        throw SaverFailure(DisplayError, "cannot open display '" + Sanitised(display) + "'");
    }
    const EndingDeadline deadline(signals, xcb_get_file_descriptor(c));

    const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = Atom(c, "WM_DELETE_WINDOW");
    const xcb_window_t id = command.target == SaverCommand::Target::Root ? screen->root
                            : command.target == SaverCommand::Target::Window
                                ? command.windowId
                                : CreateOwnWindow(c, *screen, protocols, deleteWindow);
    TargetWindow window = WatchWindow(c, id);
    const PixelFormat format = FormatOf(c, window);
    const xcb_gcontext_t black = xcb_generate_id(c);
    const std::uint32_t blackPixel = format.Pixel(StoredColor(0));
    xcb_create_gc(c, black, window.id, XCB_GC_FOREGROUND, &blackPixel);

    const std::uint32_t runSeed =
        command.runSeed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
    const std::chrono::seconds delay(command.delaySeconds);
    std::uint32_t sceneIndex = 1;
    std::unique_ptr<SceneBitmap> scene = PictureOfSeed(SeedOfScene(runSeed, sceneIndex));
    if (!scene) {
        throw SaverFailure(DisplayError, "not enough memory for a picture");
    }
    auto prepared = [&] {
        return WindowPicture(*scene, std::min(window.width, LargestSide),
                             std::min(window.height, LargestSide), format);
    };
    std::optional<WindowPicture> picture(prepared());
    std::vector<std::uint8_t> strip;
    bool paintDue = true;
    Clock::time_point nextScene = Clock::now() + delay;

    while (true) {
        const WindowNews news = TakeEvents(c, window, protocols, deleteWindow);
        if (news.ended) {
            return 0;
        }
        if (xcb_connection_has_error(c)) {
            throw LostDisplay();
        }
        if (signals.Take()) {
            return 0;
        }
        if (news.resized) {
            picture.reset();  // before the next is made, so only one is held
            picture.emplace(prepared());
        }
        paintDue |= news.exposed || news.resized;
        if (Clock::now() >= nextScene) {
            if (auto next = PictureOfSeed(SeedOfScene(runSeed, ++sceneIndex))) {
                scene = std::move(next);
                picture.reset();
                picture.emplace(prepared());
                paintDue = true;
            }
            nextScene = Clock::now() + delay;
        }
        if (paintDue) {
            Paint(c, window, black, *picture, strip);
            paintDue = false;
        }
        xcb_flush(c);

        // Events left over are taken at once; else the display, a signal or the next scene.
        if (!news.more) {
            pollfd watched[] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {signals.Fd(), POLLIN, 0}};
            poll(watched, 2, MillisecondsUntil(nextScene));
        }
    }
}

}  // namespace vistrel
