#pragma once
// Serves a simulated amplifier chain on a pseudo-terminal: the program (or a test)
// opens the slave side as its serial port.

#include "sim/amplifier/amplifierchain.h"

#include <atomic>
#include <ostream>

namespace platform::sim {

class AmplifierPtyServer {
public:
    explicit AmplifierPtyServer(AmplifierChain& chain) : chain_(chain) {}
    ~AmplifierPtyServer();
    AmplifierPtyServer(const AmplifierPtyServer&) = delete;
    AmplifierPtyServer& operator=(const AmplifierPtyServer&) = delete;

    // Creates the pseudo-terminal (raw, 9600 8N1). The server keeps the slave side
    // open itself, so clients may open and close it at will.
    bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }

    // Moves what is due in both directions once; true when anything moved.
    bool step();
    // Serves until stop is set; waits through platform::clock().
    void serve(const std::atomic<bool>& stop);

private:
    AmplifierChain& chain_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string unsent_;
};

// Builds the chain, opens a pseudo-terminal, writes its slave path and a line end to
// out, and serves until the process is ended (SIGINT or SIGTERM end it cleanly).
// Returns 1 when the chain or the pseudo-terminal cannot be set up (the reason goes to out).
int serveAmplifierOnPty(const AmplifierSimConfig& config, std::ostream& out);

} // namespace platform::sim
