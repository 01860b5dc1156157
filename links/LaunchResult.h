#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

// Marks an English text for translation without tying this library to Qt: Qt's lupdate reads it
// as QT_TRANSLATE_NOOP (see translations/CMakeLists.txt), and the caller of LaunchErrorMessage
// looks the text up in the user's language.
#define VISTREL_TRANSLATABLE(context, text) text

namespace vistrel {

// What opening a link reports: a value above LastLaunchError means the handler was started;
// any other value says why not. The values and their texts are the ones users of the program have
// always seen in the error box, so platform failures are mapped onto them.
enum LaunchResult : int {
    OutOfResources = 0,
    FileNotFound = 2,
    PathNotFound = 3,
    AccessDenied = 5,
    OutOfMemory = 8,
    BadFormat = 11,
    SharingViolation = 26,
    AssociationIncomplete = 27,
    // D-Bus activation plays the part that DDE conversations played for these three.
    DdeTimeout = 28,
    DdeFailed = 29,
    DdeBusy = 30,
    NoAssociation = 31,
    LibraryNotFound = 32,
    LastLaunchError = LibraryNotFound,
    Launched = 33,
};

inline bool IsLaunchSuccess(int result) {
    return result > LastLaunchError;
}

// A failure the error box names, with its explanation.
struct NamedLaunchError {
    LaunchResult result;
    std::string_view text;
};

// Every failure with a text of its own; any other failed result is an unknown error.
extern const std::array<NamedLaunchError, 13> NamedLaunchErrors;

// Gives an English text of this file in the user's language, in UTF-8. The texts are string
// literals, so the pointer stays valid and may serve as a key.
using LaunchTextTranslator = std::function<std::string(const char* english)>;

// The translation context of the texts, for the translator.
inline constexpr char LaunchErrorContext[] = "LaunchError";

// The explanation of a failed open's result, as the error box shows it, translated by translate
// (English by default).
std::string LaunchErrorText(int result, const LaunchTextTranslator& translate = {});

// The whole text of the error box for a failed open, translated by translate (English by
// default).
std::string LaunchErrorMessage(int result, const LaunchTextTranslator& translate = {});

}  // namespace vistrel
