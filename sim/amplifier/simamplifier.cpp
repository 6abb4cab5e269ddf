#include "sim/amplifier/simamplifier.h"

#include "sim/amplifier/templatedefinition.h"

#include <cctype>
#include <cstring>

namespace platform::sim {

namespace {

std::string trimBlanks(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.substr(b, e - b);
}

void splitWord(const std::string& text, std::string& word, std::string& args)
{
    const auto blank = text.find(' ');
    word = text.substr(0, blank);
    args = blank == std::string::npos ? std::string() : trimBlanks(text.substr(blank + 1));
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

} // namespace

std::string upperAscii(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

SimChannel::SimChannel(const ChannelConfig& config)
    : sensitivity(config.sensitivity), unit(config.unit), network_(std::make_unique<SimNetwork>()),
      master_(*network_, config.master)
{
}

SimAmplifier::SimAmplifier(AmplifierConfig config, bool headerOn)
    : config_(std::move(config)), headerOn_(headerOn), serial_(config_.serial), templates_(config_.templates)
{
    for (const auto& c : config_.channels)
        channels_.push_back(std::make_unique<SimChannel>(c));
}

std::string SimAmplifier::confReply() const
{
    const auto& c = config_;
    const int count = c.reportedChannels >= 0 ? c.reportedChannels : channelCount();
    std::string r = serial_ + "," + c.type;
    for (long v : c.confValues)
        r += "," + std::to_string(v);
    r += "," + std::to_string(c.firmwareMajor) + "," + std::to_string(c.firmwareMinor) + "," +
         std::to_string(c.firmwareBuild) + "," + std::to_string(count);
    const bool m6188 = is6188Type(c.type);
    for (int ch = 1; ch <= channelCount(); ++ch) {
        const auto& cc = c.channels[static_cast<std::size_t>(ch - 1)];
        r += ",\"" + cc.inputCode + (cc.inputText.empty() ? "" : " " + cc.inputText) + "\"";
        const auto& state = *channels_[static_cast<std::size_t>(ch - 1)];
        if (m6188)
            r += state.enabled ? ",ON" : ",OFF";
        else
            r += std::string(",\"AC, 0.1 Hz\",") + (state.enabled ? "ON" : "OFF") + ",10";
    }
    return r;
}

std::optional<std::string> SimAmplifier::builtIn(const std::string& word, const std::string& args)
{
    if (word == "CONF?")
        return confReply();
    if (word == "A_I_C:T_I")
        return "OK";
    if (word == "TRA:C") {
        templates_.clear();
        return std::nullopt;
    }
    if (word == "TRA:TE?") {
        std::string list;
        for (const auto& t : templates_)
            list += (list.empty() ? "" : ",") + t;
        return list;
    }
    if (word == "TRA:TE") {
        // The whole definition must be well formed; the list keeps its UTID.
        if (const auto d = parseTemplateDefinition(args))
            templates_.push_back(d->utidText());
        else
            setError(-102, "Syntax error");
        return std::nullopt;
    }
    if (word == "ATAC_RESET_SERIAL_NUMBER") {
        serialDraft_.clear();
        return std::nullopt;
    }
    if (word == "ATAC_WRITE_SERIAL_NUMBER") {
        if (args.size() == 2 && std::isdigit(static_cast<unsigned char>(args[0])) &&
            std::isdigit(static_cast<unsigned char>(args[1])))
            serialDraft_ += static_cast<char>(std::stoi(args));
        else
            setError(-102, "Syntax error");
        return std::nullopt;
    }
    if (word == "ATAC_PROGRAM_SERIAL_NUMBER?") {
        if (serialDraft_.size() == 7)
            serial_ = serialDraft_;
        else
            setError(-200, "Execution error");
        serialDraft_.clear();
        return std::nullopt;
    }
    setError(-100, "Command error");
    return std::nullopt;
}

std::optional<std::string> SimAmplifier::builtInChannel(int ch, const std::string& word, const std::string& args)
{
    auto& c = channel(ch);
    const std::string flag = upperAscii(args);
    if (word == "T_S?")
        return c.sensitivity + "," + c.unit;
    if (word == "T_S") {
        // value and unit without a blank between: "0.0102V/M/S2"
        std::size_t i = 0;
        while (i < args.size() && (std::isdigit(static_cast<unsigned char>(args[i])) || std::strchr("+-.eE", args[i])))
            ++i;
        if (i == 0 || i == args.size()) {
            setError(-102, "Syntax error");
            return std::nullopt;
        }
        c.sensitivity = args.substr(0, i);
        c.unit = trimBlanks(args.substr(i));
        return std::nullopt;
    }
    if (word == "DI" || word == "EN") {
        c.enabled = word == "EN";
        return "OK";
    }
    if ((word == "D_T_V" || word == "D_T_C") && (flag == "ON" || flag == "OF" || flag == "OFF")) {
        (word == "D_T_V" ? c.dtv : c.dtc) = flag == "ON";
        return std::nullopt;
    }
    setError(-100, "Command error");
    return std::nullopt;
}

void SimAmplifier::addCommand(const std::string& word, CommandHandler h) { commands_[upperAscii(word)] = std::move(h); }

void SimAmplifier::addChannelCommand(const std::string& word, ChannelCommandHandler h)
{
    channelCommands_[upperAscii(word)] = std::move(h);
}

void SimAmplifier::setError(int code, const std::string& text)
{
    errorCode_ = code;
    errorText_ = text;
}

std::string SimAmplifier::lastError() const { return std::to_string(errorCode_) + ",\"" + errorText_ + "\""; }

std::optional<SimReply> SimAmplifier::handle(const std::string& commandLine, TimePoint now)
{
    const std::string command = trimBlanks(commandLine);
    const std::string upper = upperAscii(command);
    // Channel command: I_C_<n>:<word> [args]
    if (upper.rfind("I_C_", 0) == 0) {
        std::size_t i = 4;
        int ch = 0;
        while (i < command.size() && std::isdigit(static_cast<unsigned char>(command[i])) && ch < 1000)
            ch = ch * 10 + (command[i++] - '0');
        if (i > 4 && i < command.size() && command[i] == ':') {
            std::string word, args;
            splitWord(command.substr(i + 1), word, args);
            return channelCommand(ch, upperAscii(word), args, now);
        }
    }
    std::string word, args;
    splitWord(command, word, args);
    word = upperAscii(word);
    if (auto it = commands_.find(word); it != commands_.end()) {
        if (auto r = it->second(*this, args))
            return SimReply{*r, now};
        return std::nullopt;
    }
    if (word == "IDEN?")
        return SimReply{"PELOX" + twoDigits(address_) + "," + config_.type + "," + serial_, now};
    if (word == "S_B?")
        return SimReply{"0", now};
    if (word == "ERR?") {
        SimReply r{lastError(), now};
        setError(0, "No error");
        return r;
    }
    if (word == "HEADER" && (upperAscii(args) == "ON" || upperAscii(args) == "OFF")) {
        headerOn_ = upperAscii(args) == "ON";
        return std::nullopt;
    }
    if (word == "MLAN" && upperAscii(args) == "OFF") {
        mlanActive_ = false;
        for (auto& c : channels_)
            c->network().setStrongPullup(false);
        return std::nullopt;
    }
    if (auto r = builtIn(word, args))
        return SimReply{*r, now};
    return std::nullopt;
}

std::optional<SimReply> SimAmplifier::channelCommand(int ch, const std::string& word, const std::string& args,
                                                     TimePoint now)
{
    if (auto it = channelCommands_.find(word); it != channelCommands_.end()) {
        if (auto r = it->second(*this, ch, args))
            return SimReply{*r, now};
        return std::nullopt;
    }
    if (ch < 1 || ch > channelCount()) {
        setError(-222, "Data out of range");
        return std::nullopt;
    }
    if (word != "MLAN" && word != "MLAN?") {
        if (auto r = builtInChannel(ch, word, args))
            return SimReply{*r, now};
        return std::nullopt;
    }
    if (word == "MLAN") {
        runMlan(ch, args, now);
        return std::nullopt;
    }
    const auto& c = channel(ch);
    return SimReply{mlanAnswer(ch), c.readyAt_};
}

void SimAmplifier::runMlan(int ch, const std::string& args, TimePoint now)
{
    auto& c = channel(ch);
    c.answer_.clear();
    c.hasAnswer_ = false;
    // n, "hex"
    std::size_t i = 0;
    int n = 0;
    while (i < args.size() && std::isdigit(static_cast<unsigned char>(args[i])) && n < 100000)
        n = n * 10 + (args[i++] - '0');
    const bool haveNumber = i > 0;
    while (i < args.size() && args[i] == ' ')
        ++i;
    const bool comma = i < args.size() && args[i] == ',';
    const auto open = args.find('"', i);
    const auto close = open == std::string::npos ? std::string::npos : args.find('"', open + 1);
    if (!haveNumber || !comma || close == std::string::npos || close != args.size() - 1) {
        setError(-102, "Syntax error");
        return;
    }
    const std::string hex = args.substr(open + 1, close - open - 1);
    const auto bytes = hexToBytes(hex);
    if (static_cast<std::size_t>(n) != hex.size() || !bytes || bytes->empty() ||
        (*bytes)[0] != bytes->size() - 1) {
        setError(-102, "Syntax error");
        return;
    }
    const Bytes payload(bytes->begin() + 1, bytes->end());
    const Micros before = c.network().busTime();
    c.answer_ = c.master().run(payload);
    c.hasAnswer_ = true;
    c.readyAt_ = now + (c.network().busTime() - before);
    ++c.runs_;
    mlanActive_ = true;
}

std::string SimAmplifier::mlanAnswer(int ch) const
{
    const auto& c = *channels_.at(static_cast<std::size_t>(ch - 1));
    const std::string hex = c.hasAnswer_ ? bytesToHex(c.answer_) : std::string();
    const std::string count = std::to_string(hex.size());
    if (!headerOn_)
        return count + ",\"" + hex + "\"";
    const std::string prefix = "I_C_" + std::to_string(ch) + ":MLAN ";
    if (hex.empty())
        return prefix + "0";
    return prefix + count + ", \"" + hex + "\"";
}

} // namespace platform::sim
