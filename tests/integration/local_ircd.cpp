#include "tests/integration/local_ircd.h"

#include "tests/fake/test_sockets.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "irc/net.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadFile(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void ReplaceAll(std::string& sText, const std::string& sFrom, const std::string& sTo)
{
    for (size_t nAt = sText.find(sFrom); nAt != std::string::npos; nAt = sText.find(sFrom, nAt + sTo.size()))
        sText.replace(nAt, sFrom.size(), sTo);
}

// Whether the child has ended; reaps it when it has.
bool HasEnded(pid_t pid)
{
    int nStatus = 0;
    return waitpid(pid, &nStatus, WNOHANG) == pid;
}

std::string LinkSection(const IrcdOptions& options)
{
    std::string sSection = "\n[Server]\nName = " + options.sLinkName + "\nHost = 127.0.0.1\nMyPassword = " +
                           options.sLinkPassword + "\nPeerPassword = " + options.sLinkPassword + "\n";
    if (options.nLinkPort != 0) sSection += "Port = " + std::to_string(options.nLinkPort) + "\n";
    return sSection;
}

}  // namespace

unsigned short FreeLoopbackPort()
{
    unsigned short nPort = 0;
    closesocket(BindLoopback(nPort, false));
    return nPort;
}

LocalIrcd::LocalIrcd(const std::string& sDir, const IrcdOptions& options) : m_sDir(sDir)
{
    // Another process may take the free port before ngircd binds it; a
    // fresh port is tried then.
    for (int nTry = 0; nTry < 3 && !m_bListening; ++nTry) m_bListening = Start(options);
}

LocalIrcd::~LocalIrcd() { Stop(); }

bool LocalIrcd::Start(const IrcdOptions& options)
{
    std::error_code ec;
    std::filesystem::create_directories(m_sDir, ec);
    std::string sConfig = ReadFile(KELVA_SOURCE_DIR "/scripts/ngircd.conf.in");
    if (sConfig.empty()) {
        m_sError = "cannot read scripts/ngircd.conf.in";
        return false;
    }
    m_nPort = FreeLoopbackPort();
    ReplaceAll(sConfig, "@PORT@", std::to_string(m_nPort));
    std::string sPing = std::to_string(options.nPingTimeout);
    if (options.nPongTimeout > 0) sPing += "\nPongTimeout = " + std::to_string(options.nPongTimeout);
    ReplaceAll(sConfig, "@PING_TIMEOUT@", sPing);
    ReplaceAll(sConfig, "@PASSWORD@", options.sPassword);
    ReplaceAll(sConfig, "@NAME@", options.sName);
    ReplaceAll(sConfig, "@LISTEN@", "127.0.0.1");
    if (!options.sLinkName.empty()) sConfig += LinkSection(options);
    std::string sConfigPath = m_sDir + "/ngircd.conf";
    std::ofstream(sConfigPath, std::ios::binary) << sConfig;
    m_sLogPath = m_sDir + "/ngircd.log";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, m_sLogPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string sProgram = KELVA_NGIRCD;
    char szNoDaemon[] = "-n";
    char szConfigFlag[] = "-f";
    char* argv[] = {&sProgram[0], szNoDaemon, szConfigFlag, &sConfigPath[0], nullptr};
    int nSpawn = posix_spawn(&m_pid, sProgram.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nSpawn != 0) {
        m_pid = -1;
        m_sError = "cannot start " + sProgram + ": error " + std::to_string(nSpawn);
        return false;
    }

    Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
        if (Log().find("Now listening on") != std::string::npos) return true;
        if (HasEnded(m_pid)) {
            m_pid = -1;
            m_sError = "ngircd ended before listening:\n" + Log();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_sError = "ngircd did not listen within 5 s:\n" + Log();
    Stop();
    return false;
}

std::string LocalIrcd::Log() const { return m_sLogPath.empty() ? std::string() : ReadFile(m_sLogPath); }

bool LocalIrcd::WaitForLog(const std::string& sText, int nMs) const
{
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nMs);
    for (;;) {
        if (Log().find(sText) != std::string::npos) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void LocalIrcd::Stop()
{
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (!HasEnded(m_pid)) {
        if (Clock::now() >= deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
}
