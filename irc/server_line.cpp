#include "irc/server_line.h"

#include <cstring>

#include "irc/format_codes.h"
#include "irc/seam.h"
#include "irc/text.h"

// The pieces of one shown line reach the pane in one append: under a flood
// every append costs the pane a layout of its own. Room for "<", a 255-
// character nick, the longest heading and a whole 512-character line. The
// pane shows the text between other clients' formatting codes, not the codes.
void ShowPieces(std::initializer_list<const char*> pieces)
{
    char szShown[1024];
    TextBuilder shown(szShown, sizeof szShown);
    for (const char* szPiece : pieces) shown.Add(szPiece);
    StripFormatCodes(szShown);
    AppendOutput(szShown);
}

bool IsOwnNick(const char* szName) { return std::strcmp(szName, client.szNickname) == 0; }

bool IsPartner(const char* szName)
{
    return client.szPartner[0] != '\0' && std::strcmp(szName, client.szPartner) == 0;
}

void ShowWhole(const ServerLine& line) { ShowPieces({"<?> ", line.szLine}); }
