// Files that are rewritten whole: the new text is written beside the old
// file and takes its place only when complete, so that a program killed
// while writing leaves one of the two whole, never a truncated file.
#pragma once

#include <cstddef>

// Writes the pieces, in order, as the new content of szFile. False when the
// file could not be written or could not replace the old one, which then
// stays as it was.
bool WriteWholeFile(const char* szFile, const char* const* pPieces, size_t nPieces);
