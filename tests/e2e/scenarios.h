// The end-to-end scenarios, each a function that drives kelva.exe instances
// and reports failures through EXPECT_UI.
#pragma once

struct Scenario {
    const char* szName;
    void (*pfnRun)(int nPort);  // nPort: the test IRC server's port, 0 for none
};

extern const Scenario kScenarios[];
extern const int nScenarios;

void TypedLineWithoutConnection(int nPort);
void ConnectAndJoin(int nPort);
void PingCookieServer(int nPort);
void ChatBothWays(int nPort);
void ChatAsPeopleWrite(int nPort);
void SameNickname(int nPort);
void PrivateConversation(int nPort);
void DisconnectQuestion(int nPort);
void ChannelList(int nPort);
void SetupDialog(int nPort);
void GameModeLayout(int nPort);
void GameBetweenTwo(int nPort);
void GameAcrossLink(int nPort);
void GameWithARename(int nPort);
void KickedFromGameChannel(int nPort);
void PoseForGamePicture(int nPort);
void GameWithComputer(int nPort);
void PoseForPicture(int nPort);
void FloodKeepsUp(int nPort);
void BenchClient(int nPort);
void RepaintAfterDialog(int nPort);
void MenuCommands(int nPort);
void ServerKilledAndRestarted(int nPort);
void ResetWhileIdle(int nPort);
void UnknownHost(int nPort);
void ConnectInBackground(int nPort);
void NameWithDeadAddress(int nPort);
void SilentServer(int nPort);
void SilentPlayerInGame(int nPort);
void OverlongLineFlood(int nPort);
void InstalledProgram(int nPort);
void PortableZip(int nPort);
void DefaultServerRelease(int nPort);
void TLSTrustedAuthority(int nPort);
void TLSSelfSigned(int nPort);
void TLSNotTLS(int nPort);
void TLSGame(int nPort);
