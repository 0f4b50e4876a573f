// A hostile peer against a client in game mode: game messages, coins and
// moves from the opponent and from strangers, mixed with the local player's
// clicks, through the real dispatch, handshake and game. The first byte
// chooses the handshake state and the phase of the game; each following
// record, up to a LF, is a click (first byte 0) or a message text whose
// first byte chooses the sender and the answer to any invitation.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/client_game.h"
#include "irc/client_state.h"
#include "irc/dispatch.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"

namespace {

int nMainWindow;

void EnterSituation(uint8_t nSituation)
{
    ResetClientAndFake();
    client.nSendMode = SEND_COMPOSE;
    client.hMainWnd = &nMainWindow;
    CopyField(client.szNickname, "Ravkel");
    CopyField(client.szChannel, "#Go-Moku");
    client.nGameState = static_cast<short>(1 + nSituation % 3);
    if (client.nGameState != GAME_IDLE) CopyField(client.szPartner, "bob");
    fake.nicks = {"Ravkel", "bob", "carol"};
    OnBoardSize(static_cast<unsigned short>(nSituation & 0x80 ? 300 : 5), 250);
    OnGameReset();
    GameRecord& r = gameClient.record;
    r.bCoinSent = (nSituation >> 2) & 1;
    r.bCoinsSettled = (nSituation >> 3) & 1;
    r.bMyTurn = (nSituation >> 4) & 1;
    r.nMyColor = static_cast<short>((nSituation >> 5) & 1);
    if (nSituation & 0x40) r.nGameResult = MOVE_FIVE;
}

void Click(const uint8_t* p, size_t n)
{
    if (n < 4) return;
    OnBoardClick(static_cast<unsigned short>(p[0] << 8 | p[1]), static_cast<unsigned short>(p[2] << 8 | p[3]));
}

void Message(const uint8_t* p, size_t n)
{
    static const char* const kSenders[] = {":bob!b@h PRIVMSG Ravkel :", ":carol!c@h PRIVMSG Ravkel :",
                                           ":bob!b@h NOTICE #Go-Moku :", "PRIVMSG Ravkel :"};
    if (n == 0) return;
    fake.answers.push_back(static_cast<short>(p[0] & 0x10 ? 6 : 7));
    std::string sLine = kSenders[p[0] & 3];
    sLine.append(reinterpret_cast<const char*>(p + 1), n - 1);
    if (sLine.size() > static_cast<size_t>(MAX_LINE_LENGTH) - 2) sLine.resize(MAX_LINE_LENGTH - 2);
    sLine += "\r\n";
    HandleServerLine(sLine.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) return 0;
    EnterSituation(pData[0]);
    size_t nAt = 1;
    while (nAt < nSize) {
        size_t nEnd = nAt;
        while (nEnd < nSize && pData[nEnd] != '\n') ++nEnd;
        if (nEnd > nAt && pData[nAt] == 0)
            Click(pData + nAt + 1, nEnd - nAt - 1);
        else
            Message(pData + nAt, nEnd - nAt);
        nAt = nEnd + 1;
    }
    if (gameClient.record.nGameResult < RESULT_CLEAR || gameClient.record.nGameResult > MOVE_STALEMATE) __builtin_trap();
    return 0;
}
