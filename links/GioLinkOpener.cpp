#include "links/GioLinkOpener.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "links/HandlerCommand.h"
#include "links/LaunchResult.h"

namespace vistrel {
namespace {

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using OwnedError = std::unique_ptr<GError, ErrorFree>;

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using OwnedAppInfo = std::unique_ptr<GAppInfo, ObjectUnref>;

// Failures to start a program, by the launch result that explains them best.
int SpawnFailure(int code) {
    switch (code) {
        case G_SPAWN_ERROR_NOENT:
            return FileNotFound;
        case G_SPAWN_ERROR_NOTDIR:
        case G_SPAWN_ERROR_LOOP:
        case G_SPAWN_ERROR_NAMETOOLONG:
        case G_SPAWN_ERROR_CHDIR:
            return PathNotFound;
        case G_SPAWN_ERROR_ACCES:
        case G_SPAWN_ERROR_PERM:
            return AccessDenied;
        case G_SPAWN_ERROR_NOMEM:
        case G_SPAWN_ERROR_TOO_BIG:
            return OutOfMemory;
        case G_SPAWN_ERROR_NOEXEC:
        case G_SPAWN_ERROR_ISDIR:
        case G_SPAWN_ERROR_LIBBAD:
        case G_SPAWN_ERROR_INVAL:
            return BadFormat;
        case G_SPAWN_ERROR_TXTBUSY:
            return SharingViolation;
        default:  // fork, read, I/O, too many open files, other failures
            return OutOfResources;
    }
}

// Failures to find or start a URI's handler.
int IoFailure(int code) {
    switch (code) {
        case G_IO_ERROR_NOT_FOUND:
        case G_IO_ERROR_HOST_NOT_FOUND:
            return FileNotFound;
        case G_IO_ERROR_NOT_DIRECTORY:
        case G_IO_ERROR_FILENAME_TOO_LONG:
        case G_IO_ERROR_INVALID_FILENAME:
        case G_IO_ERROR_TOO_MANY_LINKS:
            return PathNotFound;
        case G_IO_ERROR_PERMISSION_DENIED:
            return AccessDenied;
        case G_IO_ERROR_NO_SPACE:
        case G_IO_ERROR_TOO_MANY_OPEN_FILES:
            return OutOfResources;
        case G_IO_ERROR_TIMED_OUT:
            return DdeTimeout;
        case G_IO_ERROR_DBUS_ERROR:
            return DdeFailed;
        case G_IO_ERROR_BUSY:
            return DdeBusy;
        case G_IO_ERROR_NOT_SUPPORTED:  // no handler for the scheme
            return NoAssociation;
        default:  // a handler was found but its entry is unusable
            return AssociationIncomplete;
    }
}

// Takes ownership of the error of a failed call.
int FailureResult(GError* error) {
    const OwnedError owned(error);
    if (error == nullptr) {
        return AssociationIncomplete;
    }
    if (error->domain == G_SPAWN_ERROR) {
        return SpawnFailure(error->code);
    }
    if (error->domain == G_IO_ERROR) {
        return IoFailure(error->code);
    }
    if (error->domain == G_DBUS_ERROR) {
        return DdeFailed;
    }
    return AssociationIncomplete;
}

int Spawn(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    GError* error = nullptr;
    if (g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                      &error)) {
        return Launched;
    }
    return FailureResult(error);
}

bool IsWebPageType(std::string_view type) {
    return type == "text/html" || type == "x-scheme-handler/http" ||
           type == "x-scheme-handler/https";
}

// Whether a handler can show a web page: its own entry lists HTML or web addresses (GIO also
// offers the handlers of parent types, such as a text editor for plain text), and it runs
// without a terminal, which a program started from a window does not get.
bool ShowsWebPages(GAppInfo* handler) {
    if (G_IS_DESKTOP_APP_INFO(handler) &&
        g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(handler), "Terminal")) {
        return false;
    }
    const char** types = g_app_info_get_supported_types(handler);
    for (; types != nullptr && *types != nullptr; ++types) {
        if (IsWebPageType(*types)) {
            return true;
        }
    }
    return false;
}

// Every way this can fail before the handler is started answers with the scheme's result.
int OpenWithHtmlHandler(const std::string& target, int schemeResult) {
    const OwnedAppInfo handler(g_app_info_get_default_for_type("text/html", FALSE));
    if (!handler || !ShowsWebPages(handler.get())) {
        return schemeResult;
    }
    const char* command = g_app_info_get_commandline(handler.get());
    if (command == nullptr) {
        return schemeResult;
    }
    std::vector<std::string> arguments = HandlerArguments(command, target);
    if (arguments.empty()) {
        return schemeResult;
    }
    return Spawn(std::move(arguments));
}

}  // namespace

int GioLinkOpener::OpenLink(const std::string& target) {
    // Handlers started without a target would open whatever they open by default.
    if (target.empty()) {
        return FileNotFound;
    }
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(target.c_str(), nullptr, &error)) {
        return Launched;
    }
    return OpenWithHtmlHandler(target, FailureResult(error));
}

LinkOpener& DesktopLinkOpener() {
    static GioLinkOpener opener;
    return opener;
}

}  // namespace vistrel
