#include "links/LaunchResult.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

namespace vistrel {
namespace {

// Each named failure gets its own text, in the box after the one heading; every other value up
// to the first success, and any value out of range, is an unknown error that shows its number.
TEST(LaunchErrorText, NamedFailuresHaveTheirTextsAndOthersShowTheirNumber) {
    std::set<std::string_view> texts;
    for (const NamedLaunchError& error : NamedLaunchErrors) {
        SCOPED_TRACE(error.result);
        EXPECT_FALSE(IsLaunchSuccess(error.result));
        EXPECT_FALSE(error.text.empty());
        EXPECT_TRUE(texts.insert(error.text).second) << "text used twice";
        EXPECT_EQ(LaunchErrorText(error.result), error.text);
        EXPECT_EQ(LaunchErrorMessage(error.result),
                  "Unable to open hyperlink:\n\n" + std::string(error.text));
    }
    // The texts are the ones the box has always shown, down to this one's trailing space.
    EXPECT_EQ(LaunchErrorText(SharingViolation), "A sharing violation occurred. ");
    for (const int result : {-7, -1, 1, 4, 12, 25, 1234567}) {
        SCOPED_TRACE(result);
        const std::string unknown = "Unknown Error (" + std::to_string(result) + ") occurred.";
        EXPECT_EQ(LaunchErrorText(result), unknown);
        EXPECT_EQ(LaunchErrorMessage(result), "Unable to open hyperlink:\n\n" + unknown);
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
