#pragma once

#include <string>

// What `verdanth --help` prints on standard output: what the viewer is for, the usage, every
// option (from the command line's own table, config/CommandLine.h) and every key. Each key the
// viewer reads belongs in this file's table and in docs/man/verdanth.1; a test holds the manual
// page to everything printed here.
std::string helpText();
