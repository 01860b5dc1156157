#include "LaunchResult.h"

namespace vistrel {

std::string LaunchErrorText(int result) {
    switch (result) {
        case kOutOfResources:
            return "The operating system is out\nof memory or resources.";
        case kFileNotFound:
            return "The specified file was not found.";
        case kPathNotFound:
            return "The specified path was not found.";
        case kAccessDenied:
            return "The operating system denied\naccess to the specified file.";
        case kOutOfMemory:
            return "There was not enough memory to complete the operation.";
        case kBadFormat:
            return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case kSharingViolation:
            return "A sharing violation occurred. ";
        case kAssociationIncomplete:
            return "The filename association is\nincomplete or invalid.";
        case kDdeTimeout:
            return "The DDE transaction could not\nbe completed because the request timed out.";
        case kDdeFailed:
            return "The DDE transaction failed.";
        case kDdeBusy:
            return "The DDE transaction could not\nbe completed because other DDE "
                   "transactions\nwere being processed.";
        case kNoAssociation:
            return "There is no application associated\nwith the given filename extension.";
        case kLibraryNotFound:
            return "The specified dynamic-link library was not found.";
        default:
            return "Unknown Error (" + std::to_string(result) + ") occurred.";
    }
}

std::string LaunchErrorMessage(int result) {
    return "Unable to open hyperlink:\n\n" + LaunchErrorText(result);
}

}  // namespace vistrel
