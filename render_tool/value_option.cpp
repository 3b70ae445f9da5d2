#include "render_tool/value_option.h"

std::string shown(const std::vector<std::string>& values)
{
    std::string text;
    for (const std::string& value : values) text += (text.empty() ? "" : " ") + value;
    return text;
}

// CLI11 words a missing value as "NAME: 1 required TEXT missing" and a value given to a flag as
// "NAME was given a disallowed flag override"; both become a line in the style of the others.
std::string missingValueMessage(const std::string& what, const Needs& needs)
{
    std::string name = what.substr(0, what.find_first_of(": "));
    if (name.rfind('-', 0) != 0) name = "--" + name;  // the flag message has the name without dashes
    for (const auto& [option, need] : needs)
        if (option == name) return name + " needs " + need;
    return name + " takes no value";
}
