// The connection file, in a fresh working directory of its own, with the
// settings pointing at a loopback listener so that the connection it starts
// can be seen arriving.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/connection_file.h"
#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

class ConnectionFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetClientAndFake();
        ASSERT_EQ(0, NetStartup());
        char szDir[] = "/tmp/kelva-connfile-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szDir));
        sDir = szDir;
        sHome = std::filesystem::current_path();
        ASSERT_EQ(0, chdir(szDir));
        client.hMainWnd = &nMainWindow;
    }
    void TearDown() override
    {
        NetShutdown();
        ASSERT_EQ(0, chdir(sHome.c_str()));
        std::filesystem::remove_all(sDir);
    }

    // The settings as "kelva.ini" left them: the listener, and no channel.
    void StartCase()
    {
        Disconnect();
        fake = FakeSeam();
        CopyField(client.szIRCServer, "127.0.0.1");
        CopyField(client.szIRCPort, listener.PortText().c_str());
        client.szChannel[0] = '\0';
    }
    static void WriteFile(const char* szName, const std::string& sBytes)
    {
        std::ofstream(szName, std::ios::binary) << sBytes;
    }
    bool Attempted() const { return fake.sOutput.find("Attempting to connect") != std::string::npos; }

    Listener listener;
    int nMainWindow = 0;
    std::string sDir, sHome;
};

struct FileCase {
    const char* szWhat;
    std::string sFile;   // "$PORT" stands for the listener's port
    const char* szServer;  // nullptr: the settings' server, 127.0.0.1
    const char* szPort;    // nullptr: the listener's port
    const char* szChannel;
    bool bReachesListener;
};

const std::string sFill(245, '.');

const FileCase kFileCases[] = {
    {"only a channel: the settings' server", "CHANNEL lobby\r\n", nullptr, nullptr, "lobby", true},
    {"three keys on three lines", "SERVER 127.0.0.1\r\nPORT $PORT\r\nCHANNEL #Go-Moku\r\n", nullptr, nullptr,
     "#Go-Moku", true},
    {"keys in any order on one line, text around", "go CHANNEL x PORT $PORT SERVER 127.0.0.1 now", nullptr,
     nullptr, "x", true},
    {"no key at all still connects", "nothing here\r\n", nullptr, nullptr, "", true},
    {"an empty file still connects", "", nullptr, nullptr, "", true},
    {"lower or mixed case is not a key", "server 10.0.0.1\r\nServer 10.0.0.2\r\nchannel c", nullptr, nullptr, "",
     true},
    {"\"=\" after a key begins the value", "SERVER=host\r\n", "=host", nullptr, "", false},
    {"a key's text inside another value is that key", "CHANNEL #PORTland\r\nPORT $PORT\r\n", nullptr, "land",
     "#PORTland", false},
    {"a word ends at a tab and at a byte of 128 or more", "CHANNEL lob\xE9y\r\nPORT\t1\r\n", nullptr, "", "lob",
     false},
    {"only 255 bytes are read: a value cut there", sFill + "CHANNEL abcdef", nullptr, nullptr, "ab", true},
    {"a key partly past byte 255 is missing", sFill + ".......PORT 1", nullptr, nullptr, "", true},
};

TEST_F(ConnectionFile, TakesEachKeyAnywhereAndThenConnects)
{
    for (const FileCase& c : kFileCases) {
        StartCase();
        std::string sFile = c.sFile;
        size_t nAt = sFile.find("$PORT");
        if (nAt != std::string::npos) sFile.replace(nAt, 5, listener.PortText());
        WriteFile("connect.txt", sFile);
        ReadConnectionFile("connect.txt");
        EXPECT_TRUE(FinishConnectAttempt()) << c.szWhat;
        EXPECT_STREQ(c.szServer ? c.szServer : "127.0.0.1", client.szIRCServer) << c.szWhat;
        EXPECT_EQ(c.szPort ? c.szPort : listener.PortText(), client.szIRCPort) << c.szWhat;
        EXPECT_STREQ(c.szChannel, client.szChannel) << c.szWhat;
        EXPECT_EQ(std::string("Attempting to connect to ") + client.szIRCServer + "\r\n",
                  fake.sOutput.substr(0, 27 + std::strlen(client.szIRCServer))) << c.szWhat;
        EXPECT_EQ(c.bReachesListener, client.bConnected == 1) << c.szWhat;
        if (c.bReachesListener) {
            EXPECT_TRUE(listener.Accept()) << c.szWhat;
        }
        EXPECT_TRUE(fake.dialogs.empty()) << c.szWhat;
    }
}

TEST_F(ConnectionFile, AFileThatOpensButCannotBeReadCountsAsEmpty)
{
    StartCase();
    ASSERT_EQ(0, mkdir("folder", 0700));
    ReadConnectionFile("folder");
    EXPECT_TRUE(FinishConnectAttempt());
    EXPECT_EQ(1, client.bConnected);
    EXPECT_TRUE(listener.Accept());
    EXPECT_TRUE(fake.dialogs.empty());
}

TEST_F(ConnectionFile, ANameThatCannotBeOpenedGetsTheNoticeAndNoConnection)
{
    WriteFile("connect.txt", "SERVER 127.0.0.1\r\n");
    const std::string sLongName(400, 'n');
    const char* kNames[] = {"missing.txt", "\"connect.txt\"", " connect.txt", sLongName.c_str()};
    for (const char* szName : kNames) {
        StartCase();
        ReadConnectionFile(szName);
        ASSERT_EQ(1u, fake.dialogs.size()) << szName;
        EXPECT_TRUE(fake.dialogs[0].bOwned) << szName;
        EXPECT_EQ(szName, fake.dialogs[0].sSubject) << "the name, whole and unchanged";
        EXPECT_EQ("Opps...", fake.dialogs[0].sTitle) << szName;
        EXPECT_EQ(IDS_FILE_ERROR, fake.dialogs[0].nStringId) << szName;
        EXPECT_FALSE(Attempted()) << szName;
        EXPECT_EQ(0, client.bConnected) << szName;
    }
}

TEST_F(ConnectionFile, TLSFollowedBy1Or0TurnsTheSecureConnectionOnOrOff)
{
    const struct { const char* szFile; int bBefore; int bAfter; } kCases[] = {
        {"TLS 1\r\n", 0, 1},    {"TLS 0\r\n", 1, 0},  {"TLS    1", 0, 1},    {"TLS yes\r\n", 0, 0},
        {"TLS yes\r\n", 1, 1},  {"TLS 10", 0, 0},     {"tls 1", 0, 0},      {"SERVER x\r\n", 1, 1},
        {"TLS=1", 0, 0},
    };
    for (const auto& c : kCases) {
        client.bTLS = c.bBefore;
        ParseConnectionText(c.szFile);
        EXPECT_EQ(c.bAfter, client.bTLS) << c.szFile << " over " << c.bBefore;
    }
}

}  // namespace
