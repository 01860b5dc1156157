#include "links/HandlerCommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vistrel {
namespace {

using Words = std::vector<std::string>;

struct CutCase {
    const char* name;
    const char* command;
    const char* kept;
};

TEST(CommandBeforeTarget, EndsAtTheFirstPlaceholder) {
    const CutCase cases[] = {
        {"quoted %1", R"("C:\Browser\browse.exe" "%1" -nohome)", R"("C:\Browser\browse.exe" )"},
        {"unquoted %1", R"("C:\Browser\browse.exe" %1 -nohome)", R"("C:\Browser\browse.exe" )"},
        {"no placeholder", "browse -nohome", "browse -nohome"},
        {"%u", "firefox --new-window %u --private", "firefox --new-window "},
        {"quoted %U", "chromium \"%U\"", "chromium "},
        {"%f", "viewer %f", "viewer "},
        {"quoted %F", "viewer --files \"%F\" --end", "viewer --files "},
        {"first of two", "browse %u %1", "browse "},
        {"escaped percent", "browse --zoom=100%% %u", "browse --zoom=100% "},
        {"escaped percent before 1", "browse 100%%1 %u", "browse 100%1 "},
        {"other field codes dropped", "browse %i %c %k %u", "browse    "},
        {"quote opened but not closed", "browse \"%u.html\"", "browse \""},
        {"trailing percent", "browse 100%", "browse 100%"},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CommandBeforeTarget(c.command), c.kept);
    }
}

struct ArgumentsCase {
    const char* name;
    const char* command;
    Words expected;  // without the target, which always comes last
};

TEST(HandlerArguments, TargetIsOneArgumentAfterTheCommand) {
    const std::string target = "http://example.org/a b?q=\"x\";$(id)`id`";
    const ArgumentsCase cases[] = {
        {"quoted %1 with a trailing switch",
         "\"/opt/My Browser/browse\" \"%1\" -nohome",
         {"/opt/My Browser/browse"}},
        {"unquoted %1 with a trailing switch",
         "\"/opt/My Browser/browse\" %1 -nohome",
         {"/opt/My Browser/browse"}},
        {"no placeholder", "browse -nohome", {"browse", "-nohome"}},
        {"desktop entry %u", "firefox --new-window %u --private", {"firefox", "--new-window"}},
        {"desktop entry quoted %U", "chromium \"%U\"", {"chromium"}},
        {"escaped characters in quotes",
         R"(browse "a \"b\" \$c \\d")",
         {"browse", R"(a "b" $c \d)"}},
    };
    for (const ArgumentsCase& c : cases) {
        SCOPED_TRACE(c.name);
        Words expected = c.expected;
        expected.push_back(target);
        EXPECT_EQ(HandlerArguments(c.command, target), expected);
    }
}

TEST(HandlerArguments, NoProgramOrBrokenQuotingGivesNothing) {
    for (const char* command : {"", "   ", "%u", "\"%1\" -x", "browse \"unterminated %u"}) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(HandlerArguments(command, "http://example.org/").empty());
    }
}

TEST(HandlerArguments, LongTargetAndCommandStayWhole) {
    const std::string target = "http://example.org/" + std::string(100000, 'x');
    const std::string program = "/opt/" + std::string(5000, 'p') + "/browse";
    const Words arguments = HandlerArguments(program + " %u", target);
    EXPECT_EQ(arguments, (Words{program, target}));
}

}  // namespace
}  // namespace vistrel
