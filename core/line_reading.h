// The viewers' reading of a text file: opened or the program ends, read
// in the pieces of a line that fgets takes into a 40-byte buffer.
#pragma once

#include <cstdio>

#include "core/number_text.h"

// Opens name for reading. If it cannot be opened, prints
// "<name> cannot be opened.\n" on standard output and exits with status 1.
std::FILE* OpenForReadingOrExit(const char* name);

// Reads the next piece of a line, as fgets with a 40-byte buffer: at most
// 39 characters, stopping after a newline. Returns false at end of file.
// A read error prints "<name> cannot be read.\n" on standard output and
// exits with status 1.
bool ReadLinePiece(std::FILE* file, const char* name, char (&line)[kLineBufferSize]);
