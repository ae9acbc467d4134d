#pragma once

#include "DataFile.h"

#include <string>
#include <vector>

// Writes data files into a zip archive through libzip, every entry deflated and stamped
// with one fixed time, so that the same files always give the same archive bytes.
//
// Entry names are the files' paths and must be relative: forward slashes, no leading
// slash, no empty, "." or ".." part. Throws std::runtime_error naming the archive and the
// entry when a name is refused or the archive cannot be written; a refused name leaves
// no archive behind.
bool isPlainEntryName(const std::string& name);
void writeZipArchive(const std::string& path, const std::vector<DataFile>& files);
