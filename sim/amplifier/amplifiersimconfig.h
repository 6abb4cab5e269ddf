#pragma once
// What a simulated amplifier chain is made of, and its fault knobs.

#include "sim/amplifier/mlanmaster.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace platform::sim {

struct ChannelConfig {
    MasterMode master = MasterMode::MultiDrop;
    // Network description file for the channel ("" = an empty network).
    std::filesystem::path networkFile;
    // What "conf?" reports for the input: its code, then a blank and a description.
    std::string inputCode = "CC1";
    std::string inputText = "CCLD, 4 mA";
    // The transducer sensitivity that ":t_s?" reports: a number with "." and a unit.
    std::string sensitivity = "1";
    std::string unit = "V/V";
};

struct AmplifierConfig {
    std::string type = "Type 6181";
    std::string serial = "0000001";
    int firmwareMajor = 2, firmwareMinor = 0, firmwareBuild = 0;
    std::vector<ChannelConfig> channels = std::vector<ChannelConfig>(4);
    // Never answers and never takes an address (the chain ends for addressing there).
    bool silent = false;
    // Takes its address but answers no command.
    bool mute = false;
    // The channel count "conf?" reports; -1 = the channels it has. The items of every
    // channel it has are sent whatever it reports.
    int reportedChannels = -1;
    // The three values "conf?" reports before the firmware version.
    std::array<long, 3> confValues{1, 0, 0};
    // The template list ("TRA:TE?"): UTIDs.
    std::vector<std::string> templates;
};

// A type text of the 16-channel model (it contains "6188").
bool is6188Type(const std::string& type);

// How the chain behaves on the line.
struct LineConfig {
    // Asleep: nothing is echoed or answered until an "@" arrives; the chain is awake
    // wakeDelay after it.
    bool asleep = false;
    Micros wakeDelay{500000};
    bool echo = true;
    Micros echoDelay{1100};      // a character's echo after it arrived
    Micros replyDelay{3000};     // the first character of a reply after the line end (late replies: more)
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
//   amplifier <type text>        starts the next amplifier (the type may hold blanks);
//                                a type with "6188" in it gets 16 channels of code "P1"
//   serial <text>
//   firmware <major>.<minor>.<build>
//   conf <v1> <v2> <v3>          the three values "conf?" reports before the firmware
//   channels <n>                 n channels, multi-drop, empty networks
//   reportchannels <n>           the channel count "conf?" reports (0 to 999)
//   channel <n> multidrop|single [<network file>]
//   input <n> <code> [<text>]    channel n's input code and description
//   sensitivity <n> <value> <unit>   what ":t_s?" on channel n reports, e.g. 0.0102 V/M/S2
//   templates <utid>[,<utid>...] the template list "TRA:TE?" reports
//   silent                       answers nothing and takes no address
//   mute                         takes its address, answers nothing
//   header on|off                the form of the ":MLAN?" answer at start
//   asleep
//   echo on|off|<ms>             <ms>: echo that late
//   lineend lf|crlf|none
//   junk <text>                  sent after the line end of every reply
//   charinterval <us>
//   replydelay <ms>              replies that late after the line end
bool parseAmplifierSimConfig(const std::string& text, const std::filesystem::path& baseDir,
                             AmplifierSimConfig& config, std::string& error);

} // namespace platform::sim
