// A selection in the nick list: private conversations in chat mode,
// invitations and leaving a game in game mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/client_game.h"
#include "game/handshake.h"
#include "irc/client_state.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

int nMainWindow;

struct SelectCase {
    const char* szWhat;
    short nGameState;
    const char* szPartner;
    const char* szSelected;  // nullptr: nothing selected
    std::vector<short> answers;
    const char* szShown;
    const char* szSent;
    const char* szPartnerAfter;
    short nGameAfter;
    const char* szSelectedAfter;  // nullptr: nothing selected
    bool bFocusToInput;
    const char* szBoardAfter;  // the own board, which held a black stone at (5, 5) in the own turn
};

const char szKept[] = "55b, my turn";
const char szCleared[] = "empty";

// The own board's stones, and whether the local player may click.
std::string OwnBoard()
{
    std::string s;
    for (short x = 1; x <= 9; ++x)
        for (short y = 1; y <= 9; ++y)
            if (BoardCell(gameClient.board, x, y) != CELL_EMPTY)
                s += std::to_string(x) + std::to_string(y) + (BoardCell(gameClient.board, x, y) ? "w" : "b");
    if (s.empty()) s = "empty";
    return s + (gameClient.record.bMyTurn ? ", my turn" : "");
}

const SelectCase kCases[] = {
    {"nothing selected only gives the focus back", GAME_OFF, "", nullptr, {}, "", "", "", GAME_OFF, nullptr, true,
     szKept},
    {"another person starts a private conversation", GAME_OFF, "", "bob", {},
     "<KELVA> Private conversation with bob on.\r\n", "", "bob", GAME_OFF, "bob", true, szKept},
    {"an operator's entry is used as listed", GAME_OFF, "", "@op", {},
     "<KELVA> Private conversation with @op on.\r\n", "", "@op", GAME_OFF, "@op", true, szKept},
    {"the partner again ends it", GAME_OFF, "bob", "bob", {}, "<KELVA> Private conversation off.\r\n", "", "",
     GAME_OFF, nullptr, true, szKept},
    {"oneself in chat mode", GAME_OFF, "", "Ravkel", {},
     "<KELVA> Please select someone other than yourself with which to have a private conversation.\r\n", "", "",
     GAME_OFF, nullptr, true, szKept},
    {"oneself in a game reselects the opponent", GAME_PLAYING, "bob", "Ravkel", {},
     "<KELVA> Please select someone other than yourself with which to play a game.\r\n", "", "bob", GAME_PLAYING,
     "bob", true, szKept},
    {"another person in game mode is invited", GAME_IDLE, "", "bob", {},
     "<KELVA> Please wait while inviting bob...\r\n", "PRIVMSG bob :!I\r\n", "bob", GAME_INVITING, "bob", true,
     szKept},
    {"the opponent, Yes: the game is left", GAME_PLAYING, "bob", "bob", {6}, "", "PRIVMSG bob :!L\r\n", "",
     GAME_IDLE, nullptr, true, szCleared},
    {"the opponent, No: the game goes on", GAME_PLAYING, "bob", "bob", {7}, "", "", "bob", GAME_PLAYING, "bob", true,
     szKept},
    {"someone else, No: the opponent is selected again", GAME_PLAYING, "bob", "carol", {7}, "", "", "bob",
     GAME_PLAYING, "bob", false, szKept},
    {"someone else, dismissed: leave and invite", GAME_PLAYING, "bob", "carol", {2},
     "<KELVA> Please wait while inviting carol...\r\n", "PRIVMSG bob :!L\r\nPRIVMSG carol :!I\r\n", "carol",
     GAME_INVITING, "carol", true, szCleared},
};

TEST(NickListSelect, EachSelectionDoesWhatTheModeAsks)
{
    for (const SelectCase& c : kCases) {
        ResetClientAndFake();
        ServerEnd server;
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szPartner, c.szPartner);
        client.nGameState = c.nGameState;
        client.nSendMode = SEND_COMPOSE;
        client.hMainWnd = &nMainWindow;
        fake.nicks = {"@op", "bob", "carol", "Ravkel"};
        for (size_t i = 0; c.szSelected && i < fake.nicks.size(); ++i)
            if (fake.nicks[i] == c.szSelected) fake.nSelected = static_cast<int>(i);
        fake.answers.assign(c.answers.begin(), c.answers.end());
        OnGameReset();
        BoardCell(gameClient.board, 5, 5) = STONE_BLACK;
        gameClient.record.nGameResult = MOVE_PLAYON;
        gameClient.record.bMyTurn = 1;

        OnNickListSelect();

        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.szSent, server.ReadAll()) << c.szWhat;
        EXPECT_STREQ(c.szPartnerAfter, client.szPartner) << c.szWhat;
        EXPECT_EQ(c.nGameAfter, client.nGameState) << c.szWhat;
        std::string sSelected = fake.nSelected < 0 ? "(none)" : fake.nicks[static_cast<size_t>(fake.nSelected)];
        EXPECT_EQ(c.szSelectedAfter ? c.szSelectedAfter : "(none)", sSelected) << c.szWhat;
        EXPECT_EQ(c.bFocusToInput ? 1 : 0, fake.nFocusToInput) << c.szWhat;
        EXPECT_EQ(c.szBoardAfter, OwnBoard()) << c.szWhat;
        EXPECT_EQ(c.answers.size(), fake.dialogs.size()) << c.szWhat;
        for (const DialogCall& d : fake.dialogs) {
            EXPECT_EQ(IDS_LEAVE_GAME, d.nStringId) << c.szWhat;
            EXPECT_EQ(c.szPartner, d.sSubject) << c.szWhat;
            EXPECT_EQ("But wait...", d.sTitle) << c.szWhat;
        }
    }
}

}  // namespace
