// Game messages received in game mode: the handshake's transitions between
// idle, inviting and playing, the busy replies, and what reaches the game
// window. The lines go through the whole dispatch, as the server sends them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/dispatch.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

int nMainWindow;

struct MessageCase {
    const char* szWhat;  // the state, and the event
    short nGameState;
    const char* szPartner;
    std::string sLine;
    std::vector<short> answers;  // to the invitation question
    const char* szShown;
    std::string sSent;  // a trailing "*" matches any rest (a coin)
    std::string sPartnerAfter;
    short nGameAfter;
    const char* szSelectedAfter;  // "" for none
    bool bGameAbandoned;          // the game window's board was cleared
};

std::string From(const char* szSender, const char* szText, const char* szTarget = "Ravkel")
{
    return std::string(":") + szSender + "!u@host PRIVMSG " + szTarget + " :" + szText + "\r\n";
}

const char szLeft[] = "<KELVA> Your opponent has left.\r\n";
const std::string sLongNick(300, 'n');

const MessageCase kCases[] = {
    {"playing: the opponent leaves", GAME_PLAYING, "bob", From("bob", "!L"), {}, szLeft, "", "", GAME_IDLE, "",
     true},
    {"playing: the opponent's busy reply ends the game", GAME_PLAYING, "bob", From("bob", "!W"), {}, szLeft, "", "",
     GAME_IDLE, "", true},
    {"playing: so does its other busy reply", GAME_PLAYING, "bob", From("bob", "!P"), {}, szLeft, "", "", GAME_IDLE,
     "", true},
    {"playing: the opponent's leave to the channel counts the same", GAME_PLAYING, "bob",
     From("bob", "!L", "#Go-Moku"), {}, szLeft, "", "", GAME_IDLE, "", true},
    {"playing: any other letter from the opponent goes to the game window", GAME_PLAYING, "bob",
     From("bob", "!X 1"), {}, "GoMokuWndProc() Error: Game command 'X' not recognized.\r\n", "", "bob",
     GAME_PLAYING, "bob", false},
    {"playing: an invitation from the opponent too", GAME_PLAYING, "bob", From("bob", "!I"), {},
     "GoMokuWndProc() Error: Game command 'I' not recognized.\r\n", "", "bob", GAME_PLAYING, "bob",
     false},
    {"inviting: the invited accepts; the game window tosses", GAME_INVITING, "bob", From("bob", "!A"), {},
     "<KELVA> bob has accepted.\r\n", "PRIVMSG bob :!C *", "bob", GAME_PLAYING, "bob", false},
    {"inviting: the invited declines", GAME_INVITING, "bob", From("bob", "!D"), {},
     "<KELVA> bob has declined to play.\r\n", "", "", GAME_IDLE, "", false},
    {"inviting: the invited is playing somebody else", GAME_INVITING, "bob", From("bob", "!P"), {},
     "<KELVA> The person you invited is currently playing someone else.\r\n", "", "", GAME_IDLE, "", false},
    {"inviting: the invited is inviting somebody else", GAME_INVITING, "bob", From("bob", "!W"), {},
     "<KELVA> The person you invited has just invited someone else.\r\n", "", "", GAME_IDLE, "", false},
    {"inviting: both invited each other", GAME_INVITING, "bob", From("bob", "!I"), {}, "", "PRIVMSG bob :!A\r\n", "bob",
     GAME_INVITING, "bob", false},
    {"inviting: anything else from the invited", GAME_INVITING, "bob", From("bob", "!M 1 1"), {}, "", "", "bob",
     GAME_INVITING, "bob", false},
    {"idle: an invitation answered Yes", GAME_IDLE, "", From("carol", "!I"), {6}, "", "PRIVMSG carol :!A\r\n", "carol",
     GAME_PLAYING, "carol", false},
    {"idle: an invitation answered No", GAME_IDLE, "", From("carol", "!I"), {7}, "", "PRIVMSG carol :!D\r\n", "",
     GAME_IDLE, "", false},
    {"idle: an invitation whose question is closed", GAME_IDLE, "", From("carol", "!I"), {2}, "",
     "PRIVMSG carol :!D\r\n", "", GAME_IDLE, "", false},
    {"idle: an inviter's name is kept to 255 characters", GAME_IDLE, "", From(sLongNick.c_str(), "!I"), {6}, "",
     "PRIVMSG " + std::string(255, 'n') + " :!A\r\n", std::string(255, 'n'), GAME_PLAYING, "", false},
    {"idle: anything but an invitation", GAME_IDLE, "", From("carol", "!A"), {}, "", "", "", GAME_IDLE, "", false},
    {"idle: a line without a sender", GAME_IDLE, "", "PRIVMSG Ravkel :!I\r\n", {}, "", "", "", GAME_IDLE,
     "", false},
    {"inviting: an invitation from somebody else is told busy", GAME_INVITING, "bob", From("carol", "!I"), {}, "",
     "PRIVMSG carol :!W\r\n", "bob", GAME_INVITING, "bob", false},
    {"inviting: a move from somebody else too", GAME_INVITING, "bob", From("carol", "!M 1 1"), {}, "",
     "PRIVMSG carol :!W\r\n", "bob", GAME_INVITING, "bob", false},
    {"playing: an invitation from somebody else is told busy", GAME_PLAYING, "bob", From("carol", "!I"), {}, "",
     "PRIVMSG carol :!P\r\n", "bob", GAME_PLAYING, "bob", false},
    {"playing: a leave from somebody else too", GAME_PLAYING, "bob", From("carol", "!L"), {}, "",
     "PRIVMSG carol :!P\r\n", "bob", GAME_PLAYING, "bob", false},
    // Two clients each busy with somebody else would otherwise answer each
    // other's busy replies without end.
    {"playing: a busy reply from somebody else is not answered", GAME_PLAYING, "bob", From("carol", "!W"), {}, "", "",
     "bob", GAME_PLAYING, "bob", false},
    {"inviting: nor is one while inviting", GAME_INVITING, "bob", From("carol", "!P"), {}, "", "", "bob", GAME_INVITING,
     "bob", false},
    {"playing: a line without a sender has nobody to answer", GAME_PLAYING, "bob", "PRIVMSG Ravkel :!I\r\n", {}, "",
     "", "bob", GAME_PLAYING, "bob", false},
};

TEST(GameMessage, EachRowOfTheHandshake)
{
    for (const MessageCase& c : kCases) {
        ResetClientAndFake();
        ServerEnd server;
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szPartner, c.szPartner);
        CopyField(client.szChannel, "#Go-Moku");
        client.nGameState = c.nGameState;
        client.nSendMode = SEND_COMPOSE;
        client.hMainWnd = &nMainWindow;
        fake.nicks = {"bob", "carol", "Ravkel"};
        if (c.szPartner[0] != '\0') fake.nSelected = c.szPartner[0] == 'b' ? 0 : 1;
        fake.answers.assign(c.answers.begin(), c.answers.end());

        HandleServerLine(c.sLine.c_str());

        std::string sSent = server.ReadAll(), sExpected = c.sSent;
        if (!sExpected.empty() && sExpected.back() == '*') {
            sExpected.pop_back();
            sSent = sSent.substr(0, sExpected.size());
        }
        EXPECT_EQ(sExpected, sSent) << c.szWhat;
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.sPartnerAfter, client.szPartner) << c.szWhat;
        EXPECT_EQ(c.nGameAfter, client.nGameState) << c.szWhat;
        std::string sSelected = fake.nSelected < 0 ? "" : fake.nicks[static_cast<size_t>(fake.nSelected)];
        EXPECT_EQ(c.szSelectedAfter, sSelected) << c.szWhat;
        // The client's game starts unfinished: abandoning it clears the board.
        EXPECT_EQ(c.bGameAbandoned ? 1 : 0, fake.nInvalidations) << c.szWhat;
        EXPECT_EQ(c.answers.size(), fake.dialogs.size()) << c.szWhat;
        for (const DialogCall& d : fake.dialogs) {
            EXPECT_EQ(IDS_PLAY_GAME, d.nStringId) << c.szWhat;
            EXPECT_EQ("Hey...", d.sTitle) << c.szWhat;
            EXPECT_TRUE(d.bOwned) << c.szWhat;
            EXPECT_EQ(c.sLine.substr(1, c.sLine.find('!') - 1).substr(0, 255), d.sSubject) << c.szWhat;
        }
    }
}

}  // namespace
