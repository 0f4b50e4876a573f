// A certificate the system does not vouch for: its fingerprint as the user
// sees it, the question, and the answer remembered in a fresh working
// directory of its own.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "irc/certificate.h"
#include "irc/client_state.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"

namespace {

// SHA-256 of "abc", and its usual written form.
const unsigned char pAbcHash[32] = {0xBA, 0x78, 0x16, 0xBF, 0x8F, 0x01, 0xCF, 0xEA, 0x41, 0x41, 0x40,
                                    0xDE, 0x5D, 0xAE, 0x22, 0x23, 0xB0, 0x03, 0x61, 0xA3, 0x96, 0x17,
                                    0x7A, 0x9C, 0xB4, 0x10, 0xFF, 0x61, 0xF2, 0x00, 0x15, 0xAD};
const char szAbcFingerprint[] =
    "BA:78:16:BF:8F:01:CF:EA:41:41:40:DE:5D:AE:22:23:B0:03:61:A3:96:17:7A:9C:B4:10:FF:61:F2:00:15:AD";

TEST(Fingerprint, Is32UpperCaseHexPairsJoinedByColons)
{
    FingerprintText szText;
    FormatFingerprint(pAbcHash, szText);
    EXPECT_STREQ(szAbcFingerprint, szText);
    unsigned char pEdges[32];
    for (int i = 0; i < 32; ++i) pEdges[i] = i % 2 ? 0xFF : 0x00;
    FormatFingerprint(pEdges, szText);
    EXPECT_STREQ("00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF:00:FF",
                 szText);
}

class Certificate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetClientAndFake();
        char szDir[] = "/tmp/kelva-certs-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(szDir));
        sDir = szDir;
        sHome = std::filesystem::current_path();
        ASSERT_EQ(0, chdir(szDir));
        CopyField(client.szIRCServer, "irc.example.net");
        CopyField(client.szIRCPort, "6697");
        std::memcpy(cert.pSha256, pAbcHash, sizeof pAbcHash);
        CopyField(cert.szSubject, "CN=irc.example.net, O=Example");
        cert.nProblem = CERT_NOT_TRUSTED;
    }
    void TearDown() override
    {
        ASSERT_EQ(0, chdir(sHome.c_str()));
        std::filesystem::remove_all(sDir);
    }
    std::string LastQuestion() const { return fake.dialogs.empty() ? "" : fake.dialogs.back().sSubject; }

    PeerCertificate cert = {};
    std::string sDir, sHome;
};

TEST_F(Certificate, ATrustedOneIsNeverQuestioned)
{
    cert.nProblem = CERT_TRUSTED;
    EXPECT_TRUE(AcceptCertificate(cert));
    EXPECT_TRUE(fake.dialogs.empty());
    EXPECT_FALSE(std::filesystem::exists("kelva-certs.txt")) << "nothing to remember";
}

TEST_F(Certificate, TheQuestionNamesServerReasonSubjectAndFingerprint)
{
    const struct { CertProblem nProblem; const char* szReason; } kReasons[] = {
        {CERT_NOT_TRUSTED, "not signed by an authority this computer trusts"},
        {CERT_EXPIRED, "expired"},
        {CERT_WRONG_NAME, "made out for another name"},
        {CERT_REVOKED, "revoked"},
        {CERT_UNCHECKED, "could not be checked"},
    };
    for (const auto& c : kReasons) {
        fake.dialogs.clear();
        cert.nProblem = c.nProblem;
        fake.answers = {7};
        EXPECT_FALSE(AcceptCertificate(cert)) << c.szReason;
        ASSERT_EQ(1u, fake.dialogs.size());
        EXPECT_EQ("Certificate", fake.dialogs[0].sTitle);
        EXPECT_TRUE(fake.dialogs[0].bOwned);
        std::string sQuestion = LastQuestion();
        for (const std::string& sPart : {std::string("irc.example.net port 6697"), std::string(c.szReason),
                                         std::string("Subject: CN=irc.example.net, O=Example"),
                                         std::string("SHA-256: ") + szAbcFingerprint})
            EXPECT_NE(std::string::npos, sQuestion.find(sPart)) << sPart << " in:\n" << sQuestion;
        EXPECT_EQ(std::string::npos, sQuestion.find("changed")) << sQuestion;
    }
    EXPECT_FALSE(std::filesystem::exists("kelva-certs.txt")) << "No remembers nothing";
}

TEST_F(Certificate, YesIsRememberedForThisServerAndPortOnly)
{
    fake.answers = {6};
    EXPECT_TRUE(AcceptCertificate(cert));
    EXPECT_TRUE(AcceptCertificate(cert)) << "the second time without a question";
    EXPECT_EQ(1u, fake.dialogs.size());

    CopyField(client.szIRCServer, "IRC.Example.NET");
    EXPECT_TRUE(AcceptCertificate(cert)) << "the host's letter case does not matter";
    EXPECT_EQ(1u, fake.dialogs.size());

    CopyField(client.szIRCPort, "7000");
    fake.answers = {7};
    EXPECT_FALSE(AcceptCertificate(cert)) << "another port is another server";
    EXPECT_EQ(2u, fake.dialogs.size());
}

TEST_F(Certificate, AnotherCertificateIsQuestionedAsChanged)
{
    fake.answers = {6};
    AcceptCertificate(cert);
    cert.pSha256[31] = 0xAE;
    fake.answers = {7};
    EXPECT_FALSE(AcceptCertificate(cert));
    ASSERT_EQ(2u, fake.dialogs.size());
    EXPECT_NE(std::string::npos, LastQuestion().find("has changed since you trusted it")) << LastQuestion();
    EXPECT_NE(std::string::npos, LastQuestion().find("F2:00:15:AE")) << "the new fingerprint is shown";

    fake.answers = {6};
    EXPECT_TRUE(AcceptCertificate(cert));
    cert.pSha256[31] = 0xAD;
    fake.answers = {7};
    EXPECT_FALSE(AcceptCertificate(cert)) << "the new one replaced the old one";
}

}  // namespace
