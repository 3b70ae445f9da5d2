#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// Name and what it needs, for each option that takes a value.
using Needs = std::vector<std::pair<std::string, std::string>>;

inline std::string shown(const std::string& value) { return value; }
std::string shown(const std::vector<std::string>& values);

// The value goes through `read`, our own reader rather than CLI11's (which takes " 3", "+3" and
// octal "010"); a value it refuses is reported as "NAME needs WHAT, not 'VALUE'".
template <typename Value, typename Read>
CLI::Option* addValueOption(CLI::App& app, Needs& needs, const std::string& name, const std::string& valueName,
                            const std::string& need, const std::string& description, Read read)
{
    needs.emplace_back(name, need);
    const auto check = [name, need, read](const Value& value) {
        if (!read(value)) throw CLI::ValidationError(name + " needs " + need + ", not '" + shown(value) + "'");
    };
    CLI::Option* option = app.add_option_function<Value>(name, check, description)->option_text(valueName);
    // The last of a repeated option wins, yet an earlier one must still be a valid value: CLI11
    // checks every occurrence before it keeps the last.
    if constexpr (std::is_same_v<Value, std::string>)
        option->check(CLI::Validator(
            [name, need, read](std::string& value) {
                return read(value) ? std::string() : name + " needs " + need + ", not '" + value + "'";
            },
            ""));
    return option;
}

// The one-line message for CLI11's complaint `what` of a missing value or of a value given to a flag.
std::string missingValueMessage(const std::string& what, const Needs& needs);
