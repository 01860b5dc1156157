#include "links/LaunchResult.h"

namespace vistrel {

const std::array<NamedLaunchError, 13> NamedLaunchErrors = {{
    {OutOfResources, "The operating system is out\nof memory or resources."},
    {FileNotFound, "The specified file was not found."},
    {PathNotFound, "The specified path was not found."},
    {AccessDenied, "The operating system denied\naccess to the specified file."},
    {OutOfMemory, "There was not enough memory to complete the operation."},
    {BadFormat, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {SharingViolation, "A sharing violation occurred. "},
    {AssociationIncomplete, "The filename association is\nincomplete or invalid."},
    {DdeTimeout, "The DDE transaction could not\nbe completed because the request timed out."},
    {DdeFailed, "The DDE transaction failed."},
    {DdeBusy,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
     "processed."},
    {NoAssociation, "There is no application associated\nwith the given filename extension."},
    {LibraryNotFound, "The specified dynamic-link library was not found."},
}};

std::string LaunchErrorText(int result) {
    for (const NamedLaunchError& error : NamedLaunchErrors) {
        if (error.result == result) {
            return std::string(error.text);
        }
    }
    return "Unknown Error (" + std::to_string(result) + ") occurred.";
}

std::string LaunchErrorMessage(int result) {
    return "Unable to open hyperlink:\n\n" + LaunchErrorText(result);
}

}  // namespace vistrel
