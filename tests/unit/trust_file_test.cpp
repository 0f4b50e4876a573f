// The file of trusted certificates, as text: what is found in it, what a new
// entry makes of it, and what a damaged one still gives.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/trust_file.h"

namespace {

const std::string sA(32 * 3 - 1, 'A');  // not a fingerprint: no colons
std::string Fingerprint(char c)
{
    std::string s;
    for (int i = 0; i < 32; ++i) s += std::string(2, c) + (i < 31 ? ":" : "");
    return s;
}
const std::string sOne = Fingerprint('1'), sTwo = Fingerprint('2'), sThree = Fingerprint('3');

TEST(TrustText, FindsTheServerAndPortAndComparesTheFingerprint)
{
    const std::string sText = "irc.example.net:6697 " + sOne + "\r\nlocalhost:6697 " + sTwo + "\r\n";
    const struct { const char* szWhat; const char* szServer; const char* szPort; std::string sFingerprint;
                   TrustAnswer nAnswer; } kCases[] = {
        {"the same", "irc.example.net", "6697", sOne, TRUST_SAME},
        {"letter case of the host aside", "IRC.EXAMPLE.NET", "6697", sOne, TRUST_SAME},
        {"another fingerprint", "irc.example.net", "6697", sTwo, TRUST_CHANGED},
        {"another port", "irc.example.net", "7000", sOne, TRUST_UNKNOWN},
        {"a host that only begins the same", "irc.example", "net:6697", sOne, TRUST_UNKNOWN},
        {"the second line", "localhost", "6697", sTwo, TRUST_SAME},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.nAnswer, FindTrust(sText.c_str(), c.szServer, c.szPort, c.sFingerprint.c_str())) << c.szWhat;
    EXPECT_EQ(TRUST_SAME, FindTrust(("localhost:6697 " + sTwo).c_str(), "localhost", "6697", sTwo.c_str()))
        << "the last line without a line end";
}

TEST(TrustText, ADamagedFileLosesOnlyItsDamagedLines)
{
    const std::string sText = "garbage\r\n\r\nirc.example.net:6697 " + sA + "\r\nnoport " + sOne +
                              "\r\nirc.example.net:6697 " + sOne.substr(0, 90) + "\r\n\x01\x02" +
                              "x\nlocalhost:6697 " + sTwo + "\r\nlocalhost:6697 " + sTwo + " trailing\r\n";
    EXPECT_EQ(TRUST_SAME, FindTrust(sText.c_str(), "localhost", "6697", sTwo.c_str()));
    EXPECT_EQ(TRUST_UNKNOWN, FindTrust(sText.c_str(), "irc.example.net", "6697", sOne.c_str()))
        << "no readable line for it";

    char szNew[1024];
    ASSERT_TRUE(PutTrust(sText.c_str(), "irc.example.net", "6697", sThree.c_str(), szNew, sizeof szNew));
    EXPECT_EQ("localhost:6697 " + sTwo + "\r\nirc.example.net:6697 " + sThree + "\r\n", std::string(szNew))
        << "the damaged lines are left out";
}

TEST(TrustText, ANewFingerprintReplacesTheOldOneOfItsServer)
{
    const std::string sText = "a:1 " + sOne + "\r\nb:2 " + sTwo + "\r\nA:1 " + sTwo + "\r\n";
    char szNew[1024];
    ASSERT_TRUE(PutTrust(sText.c_str(), "a", "1", sThree.c_str(), szNew, sizeof szNew));
    EXPECT_EQ("b:2 " + sTwo + "\r\na:1 " + sThree + "\r\n", std::string(szNew));
    EXPECT_FALSE(PutTrust(sText.c_str(), "a", "1", sThree.c_str(), szNew, 120)) << "too little room";
}

TEST(TrustFile, IsWrittenWholeAndReadBackAfterARestart)
{
    char szDir[] = "/tmp/kelva-trust-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(szDir));
    std::filesystem::path home = std::filesystem::current_path();
    ASSERT_EQ(0, chdir(szDir));
    EXPECT_EQ(TRUST_UNKNOWN, LookUpTrust("localhost", "6697", sOne.c_str())) << "no file yet";
    std::ofstream("kelva-certs.txt", std::ios::binary) << std::string("\x01\0 damaged\0", 11) << "a:1 " << sThree;
    EXPECT_EQ(TRUST_SAME, LookUpTrust("a", "1", sThree.c_str())) << "a NUL byte does not hide the lines after it";
    std::ofstream("kelva-certs.txt", std::ios::binary) << "\x01\x02 damaged beyond reading";
    EXPECT_TRUE(RememberTrust("localhost", "6697", sOne.c_str()));
    EXPECT_TRUE(RememberTrust("irc.example.net", "6697", sTwo.c_str()));
    EXPECT_EQ(TRUST_SAME, LookUpTrust("localhost", "6697", sOne.c_str()));
    EXPECT_EQ(TRUST_CHANGED, LookUpTrust("irc.example.net", "6697", sThree.c_str()));
    std::ifstream file("kelva-certs.txt", std::ios::binary);
    EXPECT_EQ("localhost:6697 " + sOne + "\r\nirc.example.net:6697 " + sTwo + "\r\n",
              std::string(std::istreambuf_iterator<char>(file), {}));
    EXPECT_FALSE(std::filesystem::exists("kelva-certs.txt.tmp")) << "nothing is left beside it";
    ASSERT_EQ(0, chdir(home.c_str()));
    std::filesystem::remove_all(szDir);
}

}  // namespace
