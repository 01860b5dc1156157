#include "links/HandlerCommand.h"

#include <glib.h>

#include <memory>

namespace vistrel {
namespace {

bool IsTargetCode(char code) {
    return code == '1' || code == 'u' || code == 'U' || code == 'f' || code == 'F';
}

struct StringVectorFree {
    void operator()(char** strings) const { g_strfreev(strings); }
};

}  // namespace

std::string CommandBeforeTarget(std::string_view command) {
    std::string kept;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] != '%' || i + 1 == command.size()) {
            kept += command[i];
            continue;
        }
        const char code = command[++i];
        if (code == '%') {
            kept += '%';
        } else if (IsTargetCode(code)) {
            const bool quoted =
                kept.ends_with('"') && i + 1 < command.size() && command[i + 1] == '"';
            if (quoted) {
                kept.pop_back();
            }
            return kept;
        }
    }
    return kept;
}

std::vector<std::string> HandlerArguments(std::string_view command, const std::string& target) {
    int count = 0;
    char** words = nullptr;
    if (!g_shell_parse_argv(CommandBeforeTarget(command).c_str(), &count, &words, nullptr)) {
        return {};
    }
    const std::unique_ptr<char*, StringVectorFree> owned(words);
    std::vector<std::string> arguments(words, words + count);
    arguments.push_back(target);
    return arguments;
}

}  // namespace vistrel
