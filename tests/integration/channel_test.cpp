// Being in a channel of a real server: the automatic join after the message
// of the day, the names reply, the game channel's key, another user's
// comings, goings and words, and the user's own lines.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/send.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/integration/server_session.h"

namespace {

const size_t npos = std::string::npos;
typedef std::vector<std::string> Nicks;

bool InChannel(const char* szChannel) { return std::strcmp(client.szChannel, szChannel) == 0; }

class Channel : public OpenServer {
protected:
    // Connects with "lobby" remembered, and waits for the join and the names.
    void JoinLobby(size_t nUsers)
    {
        CopyField(client.szChannel, "lobby");
        ASSERT_EQ(0, Connect());
        ASSERT_TRUE(PumpUntil([&] { return InChannel("#lobby") && fake.nicks.size() == nUsers; }))
            << "in \"" << client.szChannel << "\" with " << fake.nicks.size() << " nicks";
    }
};

TEST_F(Channel, TheEndOfTheMotdJoinsTheRememberedChannelAndTheNamesFillTheNickList)
{
    std::unique_ptr<IrcPeer> peer = PeerInChannel("#lobby");
    client.bShowList = 1;  // a channel to join comes before the list
    JoinLobby(2);

    EXPECT_EQ("KELVA: #lobby", fake.sTitle);
    EXPECT_EQ((Nicks{"Peer", "Ravkel"}), fake.nicks);
    EXPECT_NE(npos, relay->Recorded().find(UserLine() + "JOIN #lobby\r\n")) << relay->Recorded();
    EXPECT_EQ(npos, relay->Recorded().find("LIST"));
    EXPECT_EQ(0, peer->WaitForLine(" JOIN :#lobby").rfind(":Ravkel!", 0)) << "the server has Ravkel in the channel";
    EXPECT_NE(npos, fake.sOutput.find(szEndOfMotd));
    EXPECT_EQ(npos, fake.sOutput.find("Talk about anything")) << "the topic reply shows nothing";
    EXPECT_EQ(npos, fake.sOutput.find("End of NAMES list")) << "nor does the end of the names";
}

struct PeerLine {
    const char* szWhat;
    const char* szSent;  // by Peer
    const char* szShown;
    Nicks nicks;  // the nick list afterwards
};

const PeerLine kPeerLines[] = {
    {"another user joins", "JOIN #lobby", "<Peer> Joining\r\n", {"Peer", "Ravkel"}},
    {"a channel message", "PRIVMSG #lobby :hello there", "<Peer> hello there\r\n", {"Peer", "Ravkel"}},
    {"a private message", "PRIVMSG Ravkel :just for you", "<Peer-Private> just for you\r\n", {"Peer", "Ravkel"}},
    {"a channel notice", "NOTICE #lobby :to all", "<Peer> to all\r\n", {"Peer", "Ravkel"}},
    {"a private notice", "NOTICE Ravkel :noted", "<Peer-Private> noted\r\n", {"Peer", "Ravkel"}},
    {"the other user leaves the channel", "PART #lobby :later", "<Peer> Parting\r\n", {"Ravkel"}},
    {"and comes back", "JOIN #lobby", "<Peer> Joining\r\n", {"Peer", "Ravkel"}},
    {"and quits", "QUIT :bye", "<Peer> Quiting\r\n", {"Ravkel"}},
};

TEST_F(Channel, WhatAnotherUserDoesIsShownBehindTheirNick)
{
    JoinLobby(1);
    std::unique_ptr<IrcPeer> peer = NewPeer("Peer");
    for (const PeerLine& c : kPeerLines) {
        fake.sOutput.clear();
        peer->Send(c.szSent);
        EXPECT_TRUE(PumpUntilShown(c.szShown)) << c.szWhat << ": Peer sent \"" << c.szSent << "\"";
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.nicks, fake.nicks) << c.szWhat;
    }
}

struct GameChannelCase {
    const char* szWhat;
    const char* szServer;
    const char* szJoinSent;
    const char* szChannel;  // once the server has answered
    short nGameState;
};

const GameChannelCase kGameChannelCases[] = {
    {"the default server: game mode, and the key opens the channel", "localhost", "JOIN #Go-Moku KELVA\r\n",
     "#Go-Moku", GAME_IDLE},
    {"another server name: no key, and the server refuses", "127.0.0.1", "JOIN #Go-Moku\r\n", "", GAME_OFF},
};

TEST_F(Channel, TheGameChannelIsJoinedWithItsKeyOnlyOnTheDefaultServer)
{
    if (std::string(szDefaultServer) != "localhost") GTEST_SKIP() << "the default server is not this machine";
    for (const GameChannelCase& c : kGameChannelCases) {
        ASSERT_NO_FATAL_FAILURE(RestartServer());
        fake.sOutput.clear();
        CopyField(client.szChannel, "Go-Moku");
        ASSERT_EQ(0, Connect(c.szServer)) << c.szWhat;
        if (c.szChannel[0] != '\0')
            EXPECT_TRUE(PumpUntil([&] { return InChannel(c.szChannel) && fake.nicks.size() == 1; })) << c.szWhat;
        else
            EXPECT_TRUE(PumpUntilShown("#Go-Moku :Cannot join channel (+k)")) << c.szWhat << ": the server refuses";
        EXPECT_STREQ(c.szChannel, client.szChannel) << c.szWhat;
        EXPECT_NE(npos, relay->Recorded().find(UserLine() + c.szJoinSent)) << c.szWhat;
        EXPECT_EQ(c.nGameState, client.nGameState) << c.szWhat;
        EXPECT_EQ(0, Disconnect()) << c.szWhat;
    }
}

// A channel that does not exist yet makes its first member its operator,
// and the names list that member with the "@" mark.
TEST_F(Channel, AnOperatorIsListedWithTheMarkAndRemovedWhenLeaving)
{
    std::unique_ptr<IrcPeer> peer = PeerInChannel("#fresh");
    CopyField(client.szChannel, "fresh");
    ASSERT_EQ(0, Connect());
    ASSERT_TRUE(PumpUntil([] { return fake.nicks.size() == 2; }));
    EXPECT_EQ((Nicks{"@Peer", "Ravkel"}), fake.nicks);

    peer->Send("PART #fresh");
    EXPECT_TRUE(PumpUntilShown("<Peer> Parting\r\n"));
    EXPECT_EQ((Nicks{"Ravkel"}), fake.nicks);
}

// The user makes the channel and so is its operator. The nick list follows
// the other member's rename, the marks the user gives, a kick; then the
// user's own rename, and a kick of the user, who leaves the channel.
TEST_F(Channel, TheNickListFollowsRenamesMarksAndKicks)
{
    CopyField(client.szChannel, "kicktest");
    ASSERT_EQ(0, Connect());
    ASSERT_TRUE(PumpUntil([] { return fake.nicks == Nicks{"@Ravkel"}; }));
    std::unique_ptr<IrcPeer> peer = NewPeer("Peer");
    const struct {
        const char* szWhat;
        const char* szPeerSends;
        const char* szTyped;
        const char* szShown;
        Nicks nicks;
    } kSteps[] = {
        {"the other user joins", "JOIN #kicktest", "", "<Peer> Joining\r\n", {"@Ravkel", "Peer"}},
        {"and renames", "NICK Irena", "", "<Peer> Now known as Irena\r\n", {"@Ravkel", "Irena"}},
        {"is voiced", "", "/MODE #kicktest +v Irena\r\n", "<Ravkel> Mode +v Irena\r\n", {"+Irena", "@Ravkel"}},
        {"is made an operator", "", "/MODE #kicktest +o Irena\r\n", "<Ravkel> Mode +o Irena\r\n",
         {"@Irena", "@Ravkel"}},
        {"is kicked", "", "/KICK #kicktest Irena :out\r\n", "<Ravkel> Kicked Irena (out)\r\n", {"@Ravkel"}},
        {"comes back", "JOIN #kicktest", "", "<Irena> Joining\r\n", {"@Ravkel", "Irena"}},
        {"the user renames", "", "/NICK Ravkel2\r\n", "<Ravkel> Now known as Ravkel2\r\n", {"@Ravkel2", "Irena"}},
        {"and makes the other an operator", "", "/MODE #kicktest +o Irena\r\n", "<Ravkel2> Mode +o Irena\r\n",
         {"@Irena", "@Ravkel2"}},
        {"who kicks the user", "KICK #kicktest Ravkel2 :your turn", "",
         "<KELVA> You were kicked from #kicktest by Irena (your turn)\r\n", {}},
    };
    for (const auto& c : kSteps) {
        fake.sOutput.clear();
        if (c.szPeerSends[0] != '\0')
            peer->Send(c.szPeerSends);
        else
            SendText(c.szTyped);
        EXPECT_TRUE(PumpUntilShown(c.szShown)) << c.szWhat << "; shown:\n" << fake.sOutput;
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.nicks, fake.nicks) << c.szWhat;
    }
    EXPECT_STREQ("Ravkel2", client.szNickname);
    EXPECT_STREQ("", client.szChannel);
    EXPECT_EQ("KELVA", fake.sTitle);
}

// The server cuts what it relays to 512 bytes with its line end, marking the
// cut; such a line is the longest the client can be sent and is shown whole.
TEST_F(Channel, TheLongestLineTheServerRelaysIsShownWhole)
{
    JoinLobby(1);
    std::unique_ptr<IrcPeer> peer = NewPeer("Peer");
    peer->Send("JOIN #lobby");
    ASSERT_TRUE(PumpUntil([] { return fake.nicks.size() == 2; }));
    const size_t nTextKept = 512 - std::strlen(":Peer!~Peer@127.0.0.1 PRIVMSG #lobby :") - std::strlen("[CUT]\r\n");
    const struct {
        const char* szWhat;
        std::string sText;
    } kTexts[] = {{"plain letters", std::string(490, 'x')}, {"bytes of 128 and above", std::string(490, '\xe9')}};
    for (const auto& c : kTexts) {
        fake.sOutput.clear();
        peer->Send("PRIVMSG #lobby :" + c.sText);
        std::string sShown = "<Peer> " + c.sText.substr(0, nTextKept) + "[CUT]\r\n";
        EXPECT_TRUE(PumpUntilShown(sShown)) << c.szWhat;
        EXPECT_EQ(sShown, fake.sOutput) << c.szWhat;
    }
    EXPECT_TRUE(fake.dialogs.empty()) << "no line was too long";
}

struct TypedLine {
    const char* szWhat;
    const char* szTyped;
    const char* szEcho;       // what the output pane shows at once
    const char* szPeerSees;   // in the line that reaches Peer
    const char* szChannel;    // the client's channel once the server has answered
};

const TypedLine kTypedLines[] = {
    {"a chat line goes to the channel", "good to see you\r\n", "<Ravkel> good to see you\r\n",
     ":Ravkel!~Ravkel@127.0.0.1 PRIVMSG #lobby :good to see you\r\n", "#lobby"},
    {"another slash command goes out as it is", "/PRIVMSG Peer :psst\r\n", "",
     ":Ravkel!~Ravkel@127.0.0.1 PRIVMSG Peer :psst\r\n", "#lobby"},
    {"/PART leaves the channel", "/PART\r\n", "", ":Ravkel!~Ravkel@127.0.0.1 PART #lobby", ""},
    {"/JOIN enters it again", "/JOIN #lobby\r\n", "", ":Ravkel!~Ravkel@127.0.0.1 JOIN :#lobby\r\n", "#lobby"},
};

TEST_F(Channel, TheUsersLinesReachTheOtherUser)
{
    std::unique_ptr<IrcPeer> peer = PeerInChannel("#lobby");
    JoinLobby(2);
    for (const TypedLine& c : kTypedLines) {
        fake.sOutput.clear();
        SendText(c.szTyped);
        EXPECT_EQ(c.szEcho, fake.sOutput) << c.szWhat;
        EXPECT_NE("", peer->WaitForLine(c.szPeerSees)) << c.szWhat << "; Peer has seen:\n" << peer->Received();
        EXPECT_TRUE(PumpUntil([&] { return InChannel(c.szChannel); })) << c.szWhat;
    }
    EXPECT_EQ("KELVA: #lobby", fake.sTitle);
    EXPECT_EQ((Nicks{"Peer", "Ravkel"}), fake.nicks) << "the names of the new join";
}

}  // namespace
