#include "tests/integration/account_server.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/integration/local_ircd.h"

extern char** environ;

namespace {

const char szScript[] = KELVA_SOURCE_DIR "/scripts/services-ircd.sh";
// The script's exit statuses besides success.
const int nPortTaken = 75;
const int nNotInstalled = 77;

std::string ReadFile(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

AccountServer::AccountServer(const std::string& sDir) : m_sDir(sDir)
{
    std::error_code ec;
    std::filesystem::remove(m_sDir + "/script.log", ec);
    m_bReady = Start();
}

AccountServer::~AccountServer() { Stop(); }

bool AccountServer::Start()
{
    int nStatus = nPortTaken;
    // Another process may take the free port before InspIRCd binds it; a
    // fresh port is tried then.
    for (int nTry = 0; nTry < 3 && nStatus == nPortTaken; ++nTry) {
        m_nPort = FreeLoopbackPort();
        m_bStarted = true;
        nStatus = RunScript({"start", m_sDir, std::to_string(m_nPort)});
    }
    m_bInstalled = nStatus != nNotInstalled;
    if (nStatus != 0) {
        m_sError = "the servers did not start:\n" + Log();
        return false;
    }
    if (RunScript({"account", m_sDir, szAccount, szPassword}) != 0) {
        m_sError = "the account was not registered:\n" + Log();
        return false;
    }
    return true;
}

int AccountServer::RunScript(const std::vector<std::string>& args) const
{
    std::vector<std::string> words = {szScript};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& sWord : words) argv.push_back(&sWord[0]);
    argv.push_back(nullptr);

    std::string sOutput = m_sDir + "/script.log";
    std::error_code ec;
    std::filesystem::create_directories(m_sDir, ec);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, sOutput.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // The servers outlive the script: they must not hold the test's sockets.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = -1;
    int nSpawn = posix_spawn(&pid, szScript, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (nSpawn != 0) return -1;
    // The script bounds each of its waits.
    int nStatus = 0;
    if (waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus)) return -1;
    return WEXITSTATUS(nStatus);
}

std::string AccountServer::Log() const
{
    return ReadFile(m_sDir + "/script.log") + "--- InspIRCd\n" + ReadFile(m_sDir + "/inspircd.log") +
           "--- Atheme\n" + ReadFile(m_sDir + "/atheme.log");
}

void AccountServer::Stop()
{
    if (!m_bStarted) return;
    RunScript({"stop", m_sDir});
    m_bStarted = false;
}
