#pragma once

#include <string>

// Whether a model file may be handed to the importer: it exists, is a readable regular file, is not
// empty nor beyond the size limit, and the element counts its header declares (OFF, PLY) fit in
// its size. Importers reserve and loop by those counts, so a header claiming billions of vertices
// in a few bytes would take unbounded memory and time. On refusal `problem` completes the sentence
// "model 'FILE' ...".
bool modelFileAcceptable(const std::string& path, std::string& problem);
