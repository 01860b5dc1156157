#pragma once

#include <string>

namespace vistrel {

// What opening a link reports: a value above kLastLaunchError means the handler was started;
// any other value says why not. The values and their texts are the ones users of the program have
// always seen in the error box, so platform failures are mapped onto them.
enum LaunchResult : int {
    kOutOfResources = 0,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kAccessDenied = 5,
    kOutOfMemory = 8,
    kBadFormat = 11,
    kSharingViolation = 26,
    kAssociationIncomplete = 27,
    // D-Bus activation plays the part that DDE conversations played for these three.
    kDdeTimeout = 28,
    kDdeFailed = 29,
    kDdeBusy = 30,
    kNoAssociation = 31,
    kLibraryNotFound = 32,
    kLastLaunchError = kLibraryNotFound,
    kLaunched = 33,
};

inline bool IsLaunchSuccess(int result) {
    return result > kLastLaunchError;
}

// The explanation of a failed open's result, as the error box shows it.
std::string LaunchErrorText(int result);

// The whole text of the error box for a failed open.
std::string LaunchErrorMessage(int result);

}  // namespace vistrel
