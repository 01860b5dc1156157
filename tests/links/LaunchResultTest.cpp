#include "LaunchResult.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

struct TextCase {
    int result;
    const char* text;
};

TEST(LaunchErrorText, EveryKnownResultHasItsText) {
    const TextCase cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30,
         "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
         "being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {4, "Unknown Error (4) occurred."},
        {12, "Unknown Error (12) occurred."},
        {-7, "Unknown Error (-7) occurred."},
        {1234567, "Unknown Error (1234567) occurred."},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.result);
        EXPECT_EQ(LaunchErrorText(c.result), c.text);
        EXPECT_EQ(LaunchErrorMessage(c.result),
                  std::string("Unable to open hyperlink:\n\n") + c.text);
    }
}

TEST(LaunchResult, OnlyValuesAboveTheErrorCodesAreSuccess) {
    EXPECT_FALSE(IsLaunchSuccess(-1));
    EXPECT_FALSE(IsLaunchSuccess(OutOfResources));
    EXPECT_FALSE(IsLaunchSuccess(LibraryNotFound));
    EXPECT_TRUE(IsLaunchSuccess(Launched));
    EXPECT_TRUE(IsLaunchSuccess(42));
}

}  // namespace
}  // namespace vistrel
