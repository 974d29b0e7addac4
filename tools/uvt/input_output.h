// The files the tool reads and writes: named paths, and "-" for the
// standard input and output. Every failure names the file.
#pragma once

#include <string>

namespace uvt_tool {

// "-" stands for the standard input or output.
bool isStandardStream(const std::string& name);
// The name to put in front of a message about the file.
std::string displayName(const std::string& name);

// All bytes of a file or of the standard input. Throws ToolError (without
// the file name, which the caller prints) for a directory, a file that
// cannot be opened or read.
std::string readInput(const std::string& name);

// Writes the bytes in binary, so that a file reads back byte for byte; to
// the standard output for "-".
void writeOutput(const std::string& name, const std::string& bytes);

// Flushes the standard output and throws when anything written to it was
// lost (a full disk, a closed pipe).
void finishStandardOutput();

}  // namespace uvt_tool
