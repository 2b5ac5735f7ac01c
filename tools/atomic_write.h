// Files that the tools replace whole: the new content goes to a temporary
// file beside the old one, which a rename then replaces in one step, so a
// reader or a crash never sees half a file.
#pragma once

#include <string>

// Writes bytes to a new hidden file in path's directory, flushed to disk
// and readable by everyone, and returns its name; empty when it could not
// be written, and nothing is left behind then.
std::string write_temporary(const std::string& path, const std::string& bytes);

// Flushes a directory's entries, so that the renames in it reach the disk.
void sync_directory(const std::string& dir);
