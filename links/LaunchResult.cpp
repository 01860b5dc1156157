#include "links/LaunchResult.h"

namespace vistrel {

const std::array<NamedLaunchError, 13> NamedLaunchErrors = {{
    {OutOfResources,
     VISTREL_TRANSLATABLE("LaunchError", "The operating system is out\nof memory or resources.")},
    {FileNotFound, VISTREL_TRANSLATABLE("LaunchError", "The specified file was not found.")},
    {PathNotFound, VISTREL_TRANSLATABLE("LaunchError", "The specified path was not found.")},
    {AccessDenied,
     VISTREL_TRANSLATABLE("LaunchError",
                          "The operating system denied\naccess to the specified file.")},
    {OutOfMemory,
     VISTREL_TRANSLATABLE("LaunchError", "There was not enough memory to complete the operation.")},
    {BadFormat,
     VISTREL_TRANSLATABLE("LaunchError",
                          "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).")},
    {SharingViolation, VISTREL_TRANSLATABLE("LaunchError", "A sharing violation occurred. ")},
    {AssociationIncomplete,
     VISTREL_TRANSLATABLE("LaunchError", "The filename association is\nincomplete or invalid.")},
    {DdeTimeout, VISTREL_TRANSLATABLE(
                     "LaunchError",
                     "The DDE transaction could not\nbe completed because the request timed out.")},
    {DdeFailed, VISTREL_TRANSLATABLE("LaunchError", "The DDE transaction failed.")},
    {DdeBusy,
     VISTREL_TRANSLATABLE(
         "LaunchError",
         "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
         "processed.")},
    {NoAssociation,
     VISTREL_TRANSLATABLE(
         "LaunchError", "There is no application associated\nwith the given filename extension.")},
    {LibraryNotFound,
     VISTREL_TRANSLATABLE("LaunchError", "The specified dynamic-link library was not found.")},
}};

namespace {

std::string Translated(const LaunchTextTranslator& translate, const char* english) {
    return translate ? translate(english) : std::string(english);
}

// The text with its one placeholder "%1" replaced by value.
std::string Filled(std::string text, std::string_view value) {
    const std::size_t at = text.find("%1");
    if (at != std::string::npos) {
        text.replace(at, 2, value);
    }
    return text;
}

}  // namespace

std::string LaunchErrorText(int result, const LaunchTextTranslator& translate) {
    for (const NamedLaunchError& error : NamedLaunchErrors) {
        if (error.result == result) {
            return Translated(translate, error.text.data());
        }
    }
    return Filled(
        Translated(translate, VISTREL_TRANSLATABLE("LaunchError", "Unknown Error (%1) occurred.")),
        std::to_string(result));
}

std::string LaunchErrorMessage(int result, const LaunchTextTranslator& translate) {
    return Filled(Translated(translate, VISTREL_TRANSLATABLE("LaunchError",
                                                             "Unable to open hyperlink:\n\n%1")),
                  LaunchErrorText(result, translate));
}

}  // namespace vistrel
