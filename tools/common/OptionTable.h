#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// The one line that refuses a command line; none when it is fine.
using Refusal = std::optional<std::string>;

// Where --help shows an option's alias: after its name, before it, in its place, or not at all.
enum class AliasInHelp { After, Before, Instead, Hidden };

// One option of a command: the names it answers to, the value it takes and its explanation.
struct Option {
    std::string_view name;        // as messages name it, such as "--output"
    std::string_view value = {};  // what --help calls its value, such as "FILE"; empty for none
    std::string help = {};        // the explanation; each '\n' goes on in a line of its own
    std::string_view alias = {};  // another spelling, such as "-o"
    AliasInHelp aliasInHelp = AliasInHelp::After;
    int exclusiveGroup = 0;        // options that share a group other than 0 exclude each other
    bool endsCommandLine = false;  // nothing after it is read, as after --help
};

// The options of a command, declared once: they read its arguments and explain themselves in
// its --help. Every option may be given once; a value is the next argument, or follows '=' in a
// spelling that begins with "--". Each refusal is one line.
class OptionTable {
  public:
    // What the command makes of an option it is given, in the order given: none, or the line
    // that refuses it. value is empty for an option that takes none.
    using Take = std::function<Refusal(std::string_view name, std::string_view value)>;

    // Explanations start in helpColumn, or on a line of their own under a longer list of names.
    OptionTable(std::vector<Option> options, std::size_t helpColumn);

    // Reads args (without the program's name) and hands take each option with its value, until
    // the first refusal, which it returns, or an option that ends the command line.
    Refusal Read(std::span<const std::string> args, const Take& take) const;

    // The lines of --help that explain the options, in the table's order.
    std::string Help() const;

  private:
    // The option the argument names and the value it carries after '=', if any.
    struct Match {
        const Option* option = nullptr;
        std::optional<std::string_view> value;
    };
    Match Find(std::string_view argument) const;
    std::string GroupNames(int group) const;

    std::vector<Option> options;
    std::size_t helpColumn;
};

}  // namespace vistrel
