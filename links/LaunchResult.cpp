#include "LaunchResult.h"

namespace vistrel {

std::string LaunchErrorText(int result) {
    switch (result) {
        case OutOfResources:
            return "The operating system is out\nof memory or resources.";
        case FileNotFound:
            return "The specified file was not found.";
        case PathNotFound:
            return "The specified path was not found.";
        case AccessDenied:
            return "The operating system denied\naccess to the specified file.";
        case OutOfMemory:
            return "There was not enough memory to complete the operation.";
        case BadFormat:
            return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case SharingViolation:
            return "A sharing violation occurred. ";
        case AssociationIncomplete:
            return "The filename association is\nincomplete or invalid.";
        case DdeTimeout:
            return "The DDE transaction could not\nbe completed because the request timed out.";
        case DdeFailed:
            return "The DDE transaction failed.";
        case DdeBusy:
            return "The DDE transaction could not\nbe completed because other DDE "
                   "transactions\nwere being processed.";
        case NoAssociation:
            return "There is no application associated\nwith the given filename extension.";
        case LibraryNotFound:
            return "The specified dynamic-link library was not found.";
        default:
            return "Unknown Error (" + std::to_string(result) + ") occurred.";
    }
}

std::string LaunchErrorMessage(int result) {
    return "Unable to open hyperlink:\n\n" + LaunchErrorText(result);
}

}  // namespace vistrel
