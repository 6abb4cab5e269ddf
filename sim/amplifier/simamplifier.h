#pragma once
// One simulated amplifier: its chain address, its channels with their 1-Wire masters
// and networks, and the commands it answers.
//
// Command line grammar (as the chain hands it on, without the address prefix):
//   command  = channel-command / plain-command
//   channel-command = "I_C_" channel ":" word [ " " args ]    ; e.g. I_C_3:MLAN?
//   plain-command   = word [ " " args ]                        ; e.g. Iden?, HEADER OFF
// Words are compared without regard to letter case.
//
// Built in:
//   "Iden?"            -> "PELOX" nn "," type "," serial
//   "s_b?"             -> "0"
//   "Err?"             -> the last error, then "0,""No error"""
//   "conf?"            -> serial "," type "," v1 "," v2 "," v3 "," major "," minor "," build
//                         "," count, then per channel DQUOTE code " " text DQUOTE and three
//                         items (types 6180 to 6183) or one item (6188 variants); quoted
//                         items may hold commas
//   "A_I_C:t_i"        -> "OK" (every input looks for its transducer)
//   "TRA:C"            no answer; empties the template list
//   "TRA:TE " definition no answer; appends its UTID to the list (templatedefinition.h;
//                      a malformed one sets the error -102)
//   "TRA:TE?"          -> the list's UTIDs, separated by commas ("" when empty)
//   "ATAC_RESET_SERIAL_NUMBER", "ATAC_WRITE_SERIAL_NUMBER " code (two decimal digits of
//   a character code), "ATAC_PROGRAM_SERIAL_NUMBER?"   no answer; the last makes the
//                      seven characters written the serial number (else error -200)
//   "I_C_" ch ":t_s?"  -> sensitivity "," unit;   ":T_S " value unit   no answer, sets both
//   "I_C_" ch ":di", ":en"   -> "OK"; the input is disabled or enabled
//   "I_C_" ch ":D_T_V OF|ON", ":D_T_C OF|ON"   no answer; the channel's TEDS set-up flags
//   "HEADER ON|OFF"    no answer; the form of later ":MLAN?" answers
//   "MLAN OFF"         no answer; the 1-Wire masters go idle
//   ":MLAN" n ", " DQUOTE hex DQUOTE   no answer; hex = byte count + payload (mlanmaster.h),
//                      n = the number of characters between the quotes
//   ":MLAN?"           -> plain form   count "," DQUOTE hex DQUOTE
//                         header form  "I_C_" ch ":MLAN " count ", " DQUOTE hex DQUOTE
//                      (count = characters of hex; with no result: 0,"" and I_C_ch:MLAN 0);
//                      the answer is ready once the bus time of the payload has passed
// Anything else goes to the command table (addCommand, addChannelCommand); a command
// nobody knows is not answered and sets the error "-100,""Command error""".

#include "sim/amplifier/amplifiersimconfig.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace platform::sim {

class SimAmplifier;

struct SimReply {
    std::string text;           // without line end
    TimePoint notBefore{};      // the answer is not sent before this time
};

using CommandHandler = std::function<std::optional<std::string>(SimAmplifier&, const std::string& args)>;
using ChannelCommandHandler =
    std::function<std::optional<std::string>(SimAmplifier&, int channel, const std::string& args)>;

class SimChannel {
public:
    explicit SimChannel(const ChannelConfig& config);
    SimNetwork& network() { return *network_; }
    MlanMaster& master() { return master_; }
    // The answer of the last ":MLAN" (empty after an error or before any).
    const Bytes& lastAnswer() const { return answer_; }
    bool hasAnswer() const { return hasAnswer_; }
    int payloadsRun() const { return runs_; }

    // Input state the channel commands change.
    std::string sensitivity;
    std::string unit;
    bool enabled = true;
    bool dtv = true;
    bool dtc = false;

private:
    friend class SimAmplifier;
    std::unique_ptr<SimNetwork> network_;
    MlanMaster master_;
    Bytes answer_;
    bool hasAnswer_ = false;
    TimePoint readyAt_{};
    int runs_ = 0;
};

class SimAmplifier {
public:
    explicit SimAmplifier(AmplifierConfig config, bool headerOn = true);

    const AmplifierConfig& config() const { return config_; }
    // Chain address, 0 = none.
    int address() const { return address_; }
    void setAddress(int a) { address_ = a; }
    bool headerOn() const { return headerOn_; }
    void setHeaderOn(bool on) { headerOn_ = on; }
    // A ":MLAN" ran since the last "MLAN OFF".
    bool mlanActive() const { return mlanActive_; }
    int channelCount() const { return static_cast<int>(channels_.size()); }
    // Channel 1 .. channelCount().
    SimChannel& channel(int n) { return *channels_.at(static_cast<std::size_t>(n - 1)); }

    // Runs one command; the answer line, or nullopt when the command has none.
    std::optional<SimReply> handle(const std::string& command, TimePoint now);

    // Further commands (identification, sensitivities, template lists ...).
    void addCommand(const std::string& word, CommandHandler h);
    void addChannelCommand(const std::string& word, ChannelCommandHandler h);

    // The error that "Err?" reports next.
    void setError(int code, const std::string& text);
    std::string lastError() const;

    std::string serialNumber() const { return serial_; }
    const std::vector<std::string>& templates() const { return templates_; }
    // The "conf?" answer.
    std::string confReply() const;

private:
    std::optional<std::string> builtIn(const std::string& word, const std::string& args);
    std::optional<std::string> builtInChannel(int ch, const std::string& word, const std::string& args);
    std::optional<SimReply> channelCommand(int ch, const std::string& word, const std::string& args, TimePoint now);
    void runMlan(int ch, const std::string& args, TimePoint now);
    std::string mlanAnswer(int ch) const;

    AmplifierConfig config_;
    std::vector<std::unique_ptr<SimChannel>> channels_;
    int address_ = 0;
    bool headerOn_;
    bool mlanActive_ = false;
    int errorCode_ = 0;
    std::string errorText_ = "No error";
    std::string serial_;
    std::string serialDraft_;
    std::vector<std::string> templates_;
    std::map<std::string, CommandHandler> commands_;
    std::map<std::string, ChannelCommandHandler> channelCommands_;
};

// Upper case (ASCII).
std::string upperAscii(std::string s);

} // namespace platform::sim
