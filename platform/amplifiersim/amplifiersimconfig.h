#pragma once
// What a simulated amplifier chain is made of, and its fault knobs.

#include "platform/amplifiersim/mlanmaster.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace platform::sim {

struct ChannelConfig {
    MasterMode master = MasterMode::MultiDrop;
    // Network description file for the channel ("" = an empty network).
    std::filesystem::path networkFile;
};

struct AmplifierConfig {
    std::string type = "Type 6181";
    std::string serial = "0000001";
    int firmwareMajor = 2, firmwareMinor = 0, firmwareBuild = 0;
    std::vector<ChannelConfig> channels = std::vector<ChannelConfig>(4);
    // Never answers and never takes an address (the chain ends for addressing there).
    bool silent = false;
};

// How the chain behaves on the line.
struct LineConfig {
    // Asleep: nothing is echoed or answered until an "@" arrives; the chain is awake
    // wakeDelay after it.
    bool asleep = false;
    Micros wakeDelay{500000};
    bool echo = true;
    Micros echoDelay{1100};      // a character's echo after it arrived
    Micros replyDelay{3000};     // the first character of a reply after the line end
    Micros charInterval{1042};   // between the characters of a reply (9600 baud)
    std::string lineEnd = "\n";  // "\r\n", or "" for replies without LF
    std::string junkAfterLineEnd; // sent after the line end of every reply line
};

struct AmplifierSimConfig {
    std::vector<AmplifierConfig> amplifiers = std::vector<AmplifierConfig>(1);
    LineConfig line;
    // ":MLAN?" answers in the header form until "HEADER OFF".
    bool headerAtStart = true;
};

// Reads a chain description; false with error (and config unchanged) when it is wrong.
// One keyword a line, "#" starts a comment; relative file names are taken from baseDir:
//   amplifier <type text>        starts the next amplifier (the type may hold blanks)
//   serial <text>
//   firmware <major>.<minor>.<build>
//   channels <n>                 n channels, multi-drop, empty networks
//   channel <n> multidrop|single [<network file>]
//   silent
//   header on|off                the form of the ":MLAN?" answer at start
//   asleep
//   echo on|off|<ms>             <ms>: echo that late
//   lineend lf|crlf|none
//   junk <text>                  sent after the line end of every reply
//   charinterval <us>
bool parseAmplifierSimConfig(const std::string& text, const std::filesystem::path& baseDir,
                             AmplifierSimConfig& config, std::string& error);

} // namespace platform::sim
