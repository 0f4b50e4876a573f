// The formatting codes other clients put into their text: bold, colours,
// italics and the like. The windows show the text between them and not the
// codes themselves.
#pragma once

#include <cstddef>

// Takes the codes out of the NUL-terminated text, in place: bold 0x02,
// colour 0x03 with up to two digits and a comma with up to two more, hex
// colour 0x04 with six hex digits and a comma with six more, reset 0x0F,
// monospace 0x11, reverse 0x16, italic 0x1D, strike-through 0x1E and
// underline 0x1F. A comma that no number follows is text. Returns the new
// length.
size_t StripFormatCodes(char* szText);
