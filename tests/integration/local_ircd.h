// A real ngircd for one test: its configuration is the repository's template
// filled in for a free loopback port, and the server is started as a child
// process and stopped by its PID, whatever the test's outcome.
#pragma once

#include <string>
#include <sys/types.h>

struct IrcdOptions {
    int nPingTimeout = 120;  // ngircd accepts 5 at the least
    // How long a PING may go unanswered before the server drops the user;
    // 0 leaves the server's own 20 seconds. The repository's configuration
    // has no place for it, so it is added to the generated copy.
    int nPongTimeout = 0;
    std::string sPassword;   // empty: no server password
    std::string sName = "irc.kelva.local";
    // Another server of the network, linked with the password both sides
    // share; at nLinkPort when this one connects to it, 0 when it waits for
    // the other to connect.
    std::string sLinkName;   // empty: no link
    unsigned short nLinkPort = 0;
    std::string sLinkPassword;
};

class LocalIrcd {
public:
    // Writes sDir/ngircd.conf and starts the server, waiting until it listens.
    LocalIrcd(const std::string& sDir, const IrcdOptions& options);
    ~LocalIrcd();
    LocalIrcd(const LocalIrcd&) = delete;
    LocalIrcd& operator=(const LocalIrcd&) = delete;

    bool Listening() const { return m_bListening; }
    unsigned short Port() const { return m_nPort; }
    const std::string& Error() const { return m_sError; }  // why it is not listening
    std::string Log() const;                                // the server's console output
    // Waits up to nMs until the log holds sText.
    bool WaitForLog(const std::string& sText, int nMs = 5000) const;

    // Terminates the server and reaps it; idempotent.
    void Stop();

private:
    bool Start(const IrcdOptions& options);

    std::string m_sDir;
    std::string m_sLogPath;
    pid_t m_pid = -1;
    unsigned short m_nPort = 0;
    bool m_bListening = false;
    std::string m_sError;
};

// A loopback port that nothing listens on at the moment of asking.
unsigned short FreeLoopbackPort();
