#pragma once
// A simulated chain of amplifiers on one serial line, as the far end of a serial port
// (in memory or behind a pseudo-terminal).
//
// Line behaviour:
// - Every character is echoed (after LineConfig::echoDelay) while the chain is awake.
// - A line ends with LF (a CR before it is dropped); replies end with LineConfig::lineEnd.
// - "PELOX" nn " " command addresses amplifier nn, which stays the selected amplifier
//   for lines without address; nn = 00 is every amplifier ("PELOX00 IDRESET": all drop
//   their address). Before any selection the first amplifier of the chain is selected.
// - "HEADER ON|OFF" and "MLAN OFF" without address reach every amplifier.
// - A line of "@" characters is ignored. An asleep chain wakes on "@".
// Address exchange (no LF involved): as soon as "PELOX00 IDNUM" nn has arrived, the
// first amplifier of the chain without address answers "PELOX" nn (7 characters, no
// line end); when those 7 characters come back it takes address nn and answers "OK"
// (2 characters). A silent amplifier answers nothing, so the amplifiers behind it get
// no address either; a mute one takes its address and answers no command. Answered or not, the command ends with its two digits: the
// characters after it begin a new line.

#include "sim/amplifier/simamplifier.h"
#include "sim/serial/memoryserialport.h"

#include <deque>
#include <optional>

namespace platform::sim {

class AmplifierChain final : public SerialDevice {
public:
    explicit AmplifierChain(const AmplifierSimConfig& config);

    // Loads the network files named by the channel configs.
    bool loadNetworks(std::string& error);

    // Serial far end.
    void hostWrote(const std::string& bytes, TimePoint at) override;
    std::string sentBy(TimePoint now) override;
    // Time of the next character that waits to be sent, if any.
    std::optional<TimePoint> nextDue() const;

    int amplifierCount() const { return static_cast<int>(amps_.size()); }
    // Position 1 .. amplifierCount() in the chain (1 = at the computer).
    SimAmplifier& amplifier(int position) { return *amps_.at(static_cast<std::size_t>(position - 1)); }
    LineConfig& line() { return line_; }
    bool awake() const { return awake_; }
    // Every line the chain received, without line end (the last 100000 or more).
    const std::vector<std::string>& lines() const { return lines_; }

    // What the chain heard, in order, with the time it was complete: every line
    // (without line end), each address command "PELOX00 IDNUM" nn and the name sent
    // back to confirm it, and the characters that reached the chain while it slept
    // (one entry per run, timed by its first character).
    struct Heard {
        TimePoint at;
        std::string text;
        bool asleep = false;
    };
    const std::vector<Heard>& transcript() const { return transcript_; }
    // The texts of transcript().
    std::vector<std::string> heardTexts() const;

private:
    void character(char c, TimePoint at);
    void addressing(TimePoint at);
    void lineDone(const std::string& text, TimePoint at);
    void emitText(const std::string& text, TimePoint at);
    void emitLine(const std::string& text, TimePoint at);
    void heard(const std::string& text, TimePoint at);

    std::vector<std::unique_ptr<SimAmplifier>> amps_;
    std::vector<std::vector<ChannelConfig>> channelConfigs_;
    LineConfig line_;
    bool awake_;
    std::optional<TimePoint> wakeAt_;
    std::string buffer_;
    std::size_t selected_ = 0;
    // Pending address exchange: amplifier index and the name it answered with.
    std::optional<std::pair<std::size_t, std::string>> confirm_;
    std::deque<std::pair<TimePoint, char>> out_;
    std::vector<std::string> lines_;
    std::vector<Heard> transcript_;
};

} // namespace platform::sim
