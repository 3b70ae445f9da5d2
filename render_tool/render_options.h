#pragma once

#include <string>

#include "render_tool/render_request.h"

// What main does with a command line: draw; print `text` (help or version) to standard output and
// exit 0; or refuse with `text` as the one-line message naming the argument at fault, and exit 2.
enum class CommandAction { run, print, refuse };

struct ParsedCommand {
    CommandAction action = CommandAction::run;
    RenderOptions options;  // complete only for run
    std::string text;
};

// Reads argv[1..argc-1]; never prints and never exits. Files are not looked at here.
ParsedCommand parseRenderOptions(int argc, const char* const* argv);
