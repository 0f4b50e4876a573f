// "kelva.ini" read, written and read back in a fresh working directory of
// its own, and the Setup dialog's OK rules.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <iterator>
#include <string>

#include "config/settings.h"
#include "irc/client_state.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "tests/fake/fake_seam.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetClientAndFake();
        char szDir[] = "/tmp/kelva-settings-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szDir));
        sDir = szDir;
        sHome = std::filesystem::current_path();
        ASSERT_EQ(0, chdir(szDir));
    }
    void TearDown() override
    {
        ASSERT_EQ(0, chdir(sHome.c_str()));
        std::filesystem::remove_all(sDir);
    }

    static void WriteFile(const std::string& sBytes) { std::ofstream("kelva.ini", std::ios::binary) << sBytes; }
    static std::string ReadFile()
    {
        std::ifstream file("kelva.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    static void Store(const char* szNick, const char* szReal, const char* szPass, const char* szServer,
                      const char* szPort, int bShowList)
    {
        CopyField(client.szNickname, szNick);
        CopyField(client.szRealname, szReal);
        CopyField(client.szPassword, szPass);
        CopyField(client.szIRCServer, szServer);
        CopyField(client.szIRCPort, szPort);
        client.bShowList = bShowList;
    }

    std::string sDir, sHome;
};

// A file the reader can only open gives the same as no file at all.
TEST_F(SettingsFile, NoFileAnUnreadableOneOrAnEmptyOneGivesEveryDefault)
{
    const struct { const char* szWhat; int nKind; } kCases[] = {
        {"no file", 0}, {"a directory that opens but cannot be read", 1}, {"an empty file", 2}};
    for (const auto& c : kCases) {
        std::filesystem::remove_all("kelva.ini");
        if (c.nKind == 1) {
            ASSERT_EQ(0, mkdir("kelva.ini", 0700));
        }
        if (c.nKind == 2) WriteFile("");
        Store("junk", "junk", "junk", "junk", "junk", 0);
        ReadSettings();
        EXPECT_STREQ("Ravkel", client.szNickname) << c.szWhat;
        EXPECT_STREQ("Saint Ravkel de France", client.szRealname) << c.szWhat;
        EXPECT_STREQ("", client.szPassword) << c.szWhat;
        EXPECT_STREQ(szDefaultServer, client.szIRCServer) << c.szWhat;
        EXPECT_STREQ("6667", client.szIRCPort) << c.szWhat;
        EXPECT_EQ(1, client.bShowList) << c.szWhat;
    }
    EXPECT_TRUE(fake.dialogs.empty());
}

struct ReadCase {
    const char* szWhat;
    std::string sFile;
    TextField ClientState::*pField;
    std::string sExpected;
};

const std::string sPadding(1500, '.');

std::string Repeat(const std::string& s, int n)
{
    std::string sAll;
    for (int i = 0; i < n; ++i) sAll += s;
    return sAll;
}

const ReadCase kReadCases[] = {
    {"with \"=\"", "Nickname=zed\r\n", &ClientState::szNickname, "zed"},
    {"with a blank each side of \"=\"", "Nickname = zed\r\n", &ClientState::szNickname, "zed"},
    {"with a blank and no \"=\"", "Nickname zed\r\n", &ClientState::szNickname, "zed"},
    {"only one \"=\" is stepped over", "Nickname==zed\r\n", &ClientState::szNickname, "=zed"},
    {"a tab is not skipped and ends the word", "Nickname=\tzed\r\n", &ClientState::szNickname, ""},
    {"a word ends at a blank", "IRCPort=6667 7000\r\n", &ClientState::szIRCPort, "6667"},
    {"a word keeps bytes of 128 and above, Windows-1252 read as such", "Password=p\xE9\xFFss\r\n",
     &ClientState::szPassword, "p\xC3\xA9\xC3\xBFss"},
    {"a word in UTF-8 is kept", "Nickname=\xCE\x95\xCE\xBB\xE2\x98\x83 x", &ClientState::szNickname,
     "\xCE\x95\xCE\xBB\xE2\x98\x83"},
    {"each value on its own: one in Windows-1252 beside one in UTF-8", "Nickname=Zo\xEB\r\nRealname=Zo\xC3\xAB\r\n",
     &ClientState::szNickname, "Zo\xC3\xAB"},
    {"keys are case-sensitive", "nickname=zed\r\n", &ClientState::szNickname, "Ravkel"},
    {"a realname keeps inner and trailing blanks", "Realname=  Ann  Lee  \r\n", &ClientState::szRealname,
     "Ann  Lee  "},
    {"a realname keeps tabs and ends at LF", "Realname=a\tb\xE9\nc", &ClientState::szRealname, "a\tb\xC3\xA9"},
    {"the first occurrence wins, inside another value too",
     "Realname=my Password hunter2\r\nPassword=real\r\n", &ClientState::szPassword, "hunter2"},
    {"keys in any order with other text around", "IRCPort=1\r\nfoo IRCServer bar.example baz",
     &ClientState::szIRCServer, "bar.example"},
    {"a key far beyond byte 255 is found", sPadding + "IRCPort=7000", &ClientState::szIRCPort, "7000"},
    {"a key beyond the read limit is missing", sPadding + sPadding + "IRCPort=7000", &ClientState::szIRCPort,
     "6667"},
    {"a value is cut to 255 characters", "Nickname=" + std::string(300, 'n'), &ClientState::szNickname,
     std::string(255, 'n')},
    {"a value is cut before the character that would pass 255 bytes", "Realname=" + Repeat("\xC3\xA9", 128),
     &ClientState::szRealname, Repeat("\xC3\xA9", 127)},
    {"a Windows-1252 value is cut likewise", "Realname=" + Repeat("\xE9", 200), &ClientState::szRealname,
     Repeat("\xC3\xA9", 127)},
    {"a present key with no value is empty", "IRCServer=\r\n", &ClientState::szIRCServer, ""},
    {"the account's password is not the server's", "SaslPassword=s\r\nPassword=p\r\n", &ClientState::szPassword,
     "p"},
    {"nor the server's the account's", "Password=p\r\nSaslPassword=s\r\n", &ClientState::szSaslPassword, "s"},
    {"no account without its key", "Nickname=zed\r\n", &ClientState::szSaslAccount, ""},
};

TEST_F(SettingsFile, EachKeyIsFoundAnywhereAndReadByItsRule)
{
    for (const ReadCase& c : kReadCases) {
        WriteFile(c.sFile);
        ReadSettings();
        EXPECT_EQ(c.sExpected, client.*c.pField) << c.szWhat << ", from: " << c.sFile;
    }
}

TEST_F(SettingsFile, PingSecondsIsANumberUpToADayAndOtherwise120)
{
    const struct { const char* szFile; int nExpected; } kCases[] = {
        {"", 120},
        {"PingSeconds=2\r\n", 2},
        {"PingSeconds = 0\r\n", 0},
        {"PingSeconds=86400\r\n", 86400},
        {"PingSeconds=86401\r\n", 120},
        {"PingSeconds=999999\r\n", 120},
        {"PingSeconds=\r\n", 120},
        {"PingSeconds=-5\r\n", 120},
        {"PingSeconds=30s\r\n", 120},
        {"pingseconds=30\r\n", 120},
    };
    for (const auto& c : kCases) {
        WriteFile(c.szFile);
        client.nPingSeconds = -1;
        ReadSettings();
        EXPECT_EQ(c.nExpected, client.nPingSeconds) << c.szFile;
    }
    // Setup rewrites the file: a setting made there survives, and a file
    // with the default is written as it always was.
    WriteFile("Nickname=zed\r\nPingSeconds=30\r\n");
    ReadSettings();
    WriteSettings();
    EXPECT_EQ("IRCPort=6667\r\nShowList=TRUE\r\nTLS=0\r\nPingSeconds=30\r\n", ReadFile().substr(ReadFile().find("IRCPort")));
    client.nPingSeconds = 120;
    WriteSettings();
    EXPECT_EQ("IRCPort=6667\r\nShowList=TRUE\r\nTLS=0\r\n", ReadFile().substr(ReadFile().find("IRCPort")));
}

TEST_F(SettingsFile, ShowListIsFalseOnlyForALeadingPartOfFALSE)
{
    const struct { const char* szFile; int bExpected; } kCases[] = {
        {"ShowList=FALSE\r\n", 0}, {"ShowList=F\r\n", 0},      {"ShowList = FAL", 0},
        {"ShowList=false\r\n", 1}, {"ShowList=FALSEST\r\n", 1}, {"ShowList=FALSE\t\r\n", 1},
        {"ShowList=0\r\n", 1},     {"ShowList=\r\n", 1},        {"ShowList=TRUE\r\n", 1},
    };
    for (const auto& c : kCases) {
        WriteFile(c.szFile);
        client.bShowList = !c.bExpected;
        ReadSettings();
        EXPECT_EQ(c.bExpected, client.bShowList) << c.szFile;
    }
}

const char szEmptyFile[] =
    "[KELVA]\r\nNickname=\r\nRealname=\r\nPassword=\r\nIRCServer=\r\nIRCPort=\r\nShowList=TRUE\r\nTLS=0\r\n";

TEST_F(SettingsFile, TLSIsOnOnlyFor1AndOffWhenAbsent)
{
    const struct { const char* szFile; int bExpected; } kCases[] = {
        {"TLS=1\r\n", 1}, {"TLS = 1", 1}, {"ShowList=FALSE\r\nTLS1\r\n", 1}, {"TLS=0\r\n", 0},
        {"TLS=\r\n", 0},  {"TLS=yes", 0}, {"tls=1\r\n", 0},                    {"Nickname=zed\r\n", 0},
    };
    for (const auto& c : kCases) {
        WriteFile(c.szFile);
        client.bTLS = !c.bExpected;
        ReadSettings();
        EXPECT_EQ(c.bExpected, client.bTLS) << c.szFile;
    }
}

TEST_F(SettingsFile, WritesTheFourteenPiecesOverAnyOldFile)
{
    const std::string sDefaults = std::string("[KELVA]\r\nNickname=Ravkel\r\nRealname=Saint Ravkel de France\r\n") +
                                  "Password=\r\nIRCServer=" + szDefaultServer +
                                  "\r\nIRCPort=6667\r\nShowList=TRUE\r\nTLS=0\r\n";
    WriteFile(std::string(3000, 'x'));
    ReadSettings();
    WriteSettings();
    EXPECT_EQ(sDefaults, ReadFile()) << "the defaults, replacing a longer file";
    EXPECT_FALSE(std::filesystem::exists("kelva.ini.tmp")) << "nothing is left beside it";

    Store("zed", " Zed  Z ", "pw", "irc.example", "7000", 0);
    client.bTLS = 1;
    WriteSettings();
    EXPECT_EQ("[KELVA]\r\nNickname=zed\r\nRealname= Zed  Z \r\nPassword=pw\r\nIRCServer=irc.example\r\n"
              "IRCPort=7000\r\nShowList=FALSE\r\nTLS=1\r\n",
              ReadFile());
    client.bTLS = 0;
    ReadSettings();
    EXPECT_EQ(1, client.bTLS) << "TLS reads back";
    EXPECT_EQ(1, client.bReconnect) << "connecting again is on without its key";

    CopyField(client.szSaslAccount, "jilles");
    CopyField(client.szSaslPassword, "ses ame");
    client.bReconnect = 0;
    WriteSettings();
    EXPECT_EQ("[KELVA]\r\nNickname=zed\r\nRealname=Zed  Z \r\nPassword=pw\r\nIRCServer=irc.example\r\n"
              "IRCPort=7000\r\nShowList=FALSE\r\nTLS=1\r\nSaslAccount=jilles\r\nSaslPassword=ses ame\r\n"
              "Reconnect=0\r\n",
              ReadFile())
        << "the account, its password and Reconnect only when set";
    ResetClientAndFake();
    ReadSettings();
    EXPECT_STREQ("jilles", client.szSaslAccount);
    EXPECT_STREQ("ses ame", client.szSaslPassword) << "to the line's end: a pass phrase keeps its blanks";
    EXPECT_EQ(0, client.bReconnect);
    client.szSaslAccount[0] = client.szSaslPassword[0] = '\0';
    client.bReconnect = 1;
    client.bTLS = 0;

    Store("", "", "", "", "", 1);
    WriteSettings();
    EXPECT_EQ(szEmptyFile, ReadFile()) << "empty values";
    Store("x", "x", "x", "x", "x", 0);
    ReadSettings();
    EXPECT_EQ("", std::string(client.szNickname) + client.szRealname + client.szPassword + client.szIRCServer +
                      client.szIRCPort) << "empty values read back empty";
    EXPECT_EQ(1, client.bShowList);
}

// Every ASCII byte a word takes, and characters of two to four bytes.
std::string AllWordBytes()
{
    std::string s;
    for (int b = 33; b < 128; ++b) s += static_cast<char>(b);
    return s + "\xC3\xA9\xE2\x98\x83\xF0\x9F\x98\x80";
}

TEST_F(SettingsFile, WhatIsWrittenReadsBackWithTheKeysAfterIt)
{
    const std::string sLong(255, 'r'), sLongWords = std::string(120, 'a') + "  " + std::string(133, 'b');
    const struct { const char* szWhat; std::string sNick, sReal, sPass, sServer, sPort; int bShowList; } kCases[] = {
        {"a realname of 255 characters", "zed", sLongWords, "", "irc.example", "7000", 0},
        {"a server name of 255 characters", "zed", "Zed", "", sLong, "7000", 0},
        {"every field at its longest", sLong, sLongWords, sLong, sLong, sLong, 0},
        {"a password, nickname and realname in UTF-8", "n\xC3\xA9\xC3\xBF", "R\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87",
         AllWordBytes(), "s", "1", 1},
    };
    for (const auto& c : kCases) {
        Store(c.sNick.c_str(), c.sReal.c_str(), c.sPass.c_str(), c.sServer.c_str(), c.sPort.c_str(), c.bShowList);
        WriteSettings();
        ResetClientAndFake();
        ReadSettings();
        EXPECT_EQ(c.sNick, client.szNickname) << c.szWhat;
        EXPECT_EQ(c.sReal, client.szRealname) << c.szWhat;
        EXPECT_EQ(c.sPass, client.szPassword) << c.szWhat;
        EXPECT_EQ(c.sServer, client.szIRCServer) << c.szWhat;
        EXPECT_EQ(c.sPort, client.szIRCPort) << c.szWhat;
        EXPECT_EQ(c.bShowList, client.bShowList) << c.szWhat;
    }
}

// The file size limit makes every write past its first bytes fail, as a
// full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t nBytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_pfnOld = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = nBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_pfnOld);
    }

private:
    rlimit m_old;
    void (*m_pfnOld)(int);
};

// The new file replaces the old one only once it is whole: a write that
// fails (or a program killed) part way leaves the old file as it was.
struct WriteFailure {
    const char* szWhat;
    const char* szDirectoryInTheWay;
    rlim_t nFileSizeLimit;  // 0: none
    bool bOldFile;
};

const WriteFailure kWriteFailures[] = {
    {"the new file cannot be created", "kelva.ini.tmp", 0, true},
    {"the disk fills while the new file is written", nullptr, 20, true},
    {"the old file cannot be replaced", "kelva.ini", 0, false},
};

TEST_F(SettingsFile, AFailedWriteGetsTheNoticeAndLeavesTheOldFileWhole)
{
    const std::string sOld = "[KELVA]\r\nNickname=old\r\n";
    int nMainWindow = 0;
    for (const WriteFailure& c : kWriteFailures) {
        std::filesystem::remove_all("kelva.ini");
        std::filesystem::remove_all("kelva.ini.tmp");
        ResetClientAndFake();
        client.hMainWnd = &nMainWindow;
        if (c.bOldFile) WriteFile(sOld);
        if (c.szDirectoryInTheWay) {
            ASSERT_EQ(0, mkdir(c.szDirectoryInTheWay, 0700));
        }
        Store("zed", "Zed", "pw", "irc.example", "7000", 0);
        {
            std::optional<FileSizeLimit> limit;
            if (c.nFileSizeLimit != 0) limit.emplace(c.nFileSizeLimit);
            WriteSettings();
        }
        ASSERT_EQ(1u, fake.dialogs.size()) << c.szWhat;
        EXPECT_TRUE(fake.dialogs[0].bOwned) << c.szWhat;
        EXPECT_EQ("kelva.ini", fake.dialogs[0].sSubject) << c.szWhat;
        EXPECT_EQ("Opps...", fake.dialogs[0].sTitle) << c.szWhat;
        EXPECT_EQ(IDS_FILE_ERROR, fake.dialogs[0].nStringId) << c.szWhat;
        if (c.bOldFile) {
            EXPECT_EQ(sOld, ReadFile()) << c.szWhat;
        }
        EXPECT_STREQ("zed", client.szNickname) << c.szWhat << ": the settings stay in memory";
        EXPECT_STREQ("7000", client.szIRCPort) << c.szWhat;
        if (!std::filesystem::is_directory("kelva.ini.tmp")) {
            EXPECT_FALSE(std::filesystem::exists("kelva.ini.tmp")) << c.szWhat << ": the unfinished file is removed";
        }
    }
}

TEST(SetupOk, TheNicknameHasItsBlanksReplacedAndIsThenCutToNine)
{
    const struct { const char* szTyped; const char* szStored; } kCases[] = {
        {"abc def ghi", "abc_def_g"}, {" zed ", "_zed_"}, {"abcdefghijk", "abcdefghi"},
        {"abcdefghi", "abcdefghi"},   {"", ""},           {"n\xE9\tx", "n\xE9\tx"},
        {"\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD", "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7"},  // 9 bytes would split the fifth letter
        {"abcdefgh\xE2\x98\x83", "abcdefgh"}, {"abcdefg\xC3\xA9", "abcdefg\xC3\xA9"},
    };
    for (const auto& c : kCases) {
        ResetClientAndFake();
        StoreSetupValues({c.szTyped, "", "", "", "", 1, 0});
        EXPECT_STREQ(c.szStored, client.szNickname) << "typed \"" << c.szTyped << "\"";
    }
}

TEST(SetupOk, TheOtherTextsAreStoredAsTypedUpTo254Characters)
{
    ResetClientAndFake();
    const std::string sLong(300, 'r');
    StoreSetupValues({"zed", sLong.c_str(), " pass word ", " irc.example ", "port", 1, 1, "jilles", sLong.c_str()});
    EXPECT_EQ(std::string(254, 'r'), client.szRealname);
    EXPECT_STREQ("jilles", client.szSaslAccount);
    EXPECT_EQ(std::string(254, 'r'), client.szSaslPassword);
    EXPECT_STREQ(" pass word ", client.szPassword);
    EXPECT_STREQ(" irc.example ", client.szIRCServer);
    EXPECT_STREQ("port", client.szIRCPort);
    EXPECT_EQ(1, client.bShowList);
    EXPECT_EQ(1, client.bTLS);
    const std::string sSnowmen = Repeat("\xE2\x98\x83", 90);
    StoreSetupValues({"zed", sSnowmen.c_str(), "", "", "", 1, 1});
    EXPECT_EQ(Repeat("\xE2\x98\x83", 84), client.szRealname) << "254 bytes would split the 85th snowman";
    StoreSetupValues({"", "", "", "", "", 0, 0});
    EXPECT_EQ(0, client.bShowList);
    EXPECT_EQ(0, client.bTLS);
    EXPECT_TRUE(fake.dialogs.empty());
}

TEST(SetupOk, TickingTLSMovesOnlyTheUsualPorts)
{
    const struct { const char* szPort; int bTLS; const char* szNewPort; } kCases[] = {
        {"6667", 1, "6697"}, {"6697", 0, "6667"}, {"6697", 1, "6697"}, {"6667", 0, "6667"},
        {"7000", 1, "7000"}, {"7000", 0, "7000"}, {"", 1, ""},         {"66670", 1, "66670"},
    };
    for (const auto& c : kCases)
        EXPECT_STREQ(c.szNewPort, PortForTLS(c.szPort, c.bTLS)) << c.szPort << (c.bTLS ? " ticked" : " unticked");
}

}  // namespace
