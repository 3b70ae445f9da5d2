#pragma once

#include <string>

namespace Assimp {
class Importer;
}

// Whether the file's extension, in any case, is one of the formats models are read from: fewer
// parsers reachable from a file a user was sent.
bool modelFormatSupported(const std::string& path);

// The accepted extensions, for the message refusing another.
std::string supportedModelFormats();

// Removes every other format's reader from `importer`, so that a file whose contents look like
// another format is not handed to that reader either.
void keepSupportedReaders(Assimp::Importer& importer);
