// A network with accounts for one test: InspIRCd on a free loopback port
// with Atheme services linked to it, which scripts/services-ircd.sh starts
// with every file under the test's directory, and one account registered
// through NickServ. The destructor stops both servers by their PIDs,
// whatever the test's outcome.
#pragma once

#include <string>
#include <vector>

class AccountServer {
public:
    static constexpr char szAccount[] = "kelvauser";
    static constexpr char szPassword[] = "pl4y-g0moku";

    // Starts both servers, waiting until they are linked, and registers
    // the account.
    explicit AccountServer(const std::string& sDir);
    ~AccountServer();
    AccountServer(const AccountServer&) = delete;
    AccountServer& operator=(const AccountServer&) = delete;

    bool Ready() const { return m_bReady; }
    // False when InspIRCd or Atheme is not installed (scripts/deps.sh test).
    bool Installed() const { return m_bInstalled; }
    unsigned short Port() const { return m_nPort; }
    const std::string& Error() const { return m_sError; }  // why it is not ready
    // What the script said, and both servers' logs.
    std::string Log() const;

    // Stops both servers; idempotent.
    void Stop();

private:
    bool Start();
    // Runs the script with these arguments, its output added to the
    // directory's script.log; its exit status, or -1.
    int RunScript(const std::vector<std::string>& args) const;

    std::string m_sDir;
    unsigned short m_nPort = 0;
    bool m_bStarted = false;
    bool m_bReady = false;
    bool m_bInstalled = true;
    std::string m_sError;
};
