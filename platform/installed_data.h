#pragma once

#include <string>

// Where an installed copy of the program keeps a data file: the data folder beside the running
// executable's folder (PREFIX/share/pixelwright for PREFIX/bin), so an unpacked or moved install
// finds its own files. Empty if the executable's path cannot be read.
std::string installedDataFile(const std::string& name);
