#include "sim/amplifier/amplifiersimconfig.h"

#include <locale>
#include <sstream>

namespace platform::sim {

namespace {

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool toInt(const std::string& s, int& v)
{
    try {
        std::size_t used = 0;
        v = std::stoi(s, &used);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

// The channels of a fresh amplifier of that type.
std::vector<ChannelConfig> defaultChannels(const std::string& type)
{
    if (!is6188Type(type))
        return std::vector<ChannelConfig>(4);
    ChannelConfig ch;
    ch.inputCode = "P1";
    ch.inputText = "preamp., 200 V";
    ch.unit = "V/PA";
    return std::vector<ChannelConfig>(16, ch);
}

bool toLong(const std::string& s, long& v)
{
    try {
        std::size_t used = 0;
        v = std::stol(s, &used);
        return used == s.size();
    } catch (...) {
        return false;
    }
}

// Channel n of a, or nullptr.
ChannelConfig* channelOf(AmplifierConfig& a, int n)
{
    if (n < 1 || n > static_cast<int>(a.channels.size()))
        return nullptr;
    return &a.channels[static_cast<std::size_t>(n - 1)];
}

} // namespace

bool is6188Type(const std::string& type) { return type.find("6188") != std::string::npos; }

bool parseAmplifierSimConfig(const std::string& text, const std::filesystem::path& baseDir,
                             AmplifierSimConfig& config, std::string& error)
{
    AmplifierSimConfig c;
    c.amplifiers.clear();
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(lineNo) + ": " + what;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNo;
        if (const auto hash = raw.find('#'); hash != std::string::npos)
            raw.erase(hash);
        const std::string line = trimmed(raw);
        if (line.empty())
            continue;
        const auto blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? "" : trimmed(line.substr(blank + 1));
        if (key == "amplifier") {
            c.amplifiers.emplace_back();
            if (!value.empty())
                c.amplifiers.back().type = value;
            c.amplifiers.back().channels = defaultChannels(c.amplifiers.back().type);
            continue;
        }
        if (key == "header") {
            if (value != "on" && value != "off")
                return fail("header on or off");
            c.headerAtStart = value == "on";
            continue;
        }
        if (key == "asleep") {
            c.line.asleep = true;
            continue;
        }
        if (key == "echo") {
            int ms = 0;
            if (value == "on")
                c.line.echo = true;
            else if (value == "off")
                c.line.echo = false;
            else if (toInt(value, ms) && ms >= 0)
                c.line.echoDelay = Micros(ms * 1000LL);
            else
                return fail("echo on, off or a delay in ms");
            continue;
        }
        if (key == "lineend") {
            if (value == "lf")
                c.line.lineEnd = "\n";
            else if (value == "crlf")
                c.line.lineEnd = "\r\n";
            else if (value == "none")
                c.line.lineEnd = "";
            else
                return fail("lineend lf, crlf or none");
            continue;
        }
        if (key == "junk") {
            c.line.junkAfterLineEnd = value;
            continue;
        }
        if (key == "charinterval") {
            int us = 0;
            if (!toInt(value, us) || us < 0)
                return fail("charinterval in microseconds");
            c.line.charInterval = Micros(us);
            continue;
        }
        if (key == "replydelay") {
            int ms = 0;
            if (!toInt(value, ms) || ms < 0)
                return fail("replydelay in ms");
            c.line.replyDelay = Micros(ms * 1000LL);
            continue;
        }
        // The rest describe the current amplifier.
        if (c.amplifiers.empty())
            return fail("'" + key + "' before the first 'amplifier'");
        auto& a = c.amplifiers.back();
        if (key == "serial") {
            a.serial = value;
        } else if (key == "silent") {
            a.silent = true;
        } else if (key == "mute") {
            a.mute = true;
        } else if (key == "conf") {
            std::istringstream v(value);
            std::string w[3], extra;
            v >> w[0] >> w[1] >> w[2];
            for (int i = 0; i < 3; ++i)
                if (!toLong(w[i], a.confValues[static_cast<std::size_t>(i)]))
                    return fail("conf <v1> <v2> <v3>");
            if (v >> extra)
                return fail("conf <v1> <v2> <v3>");
        } else if (key == "reportchannels") {
            int n = 0;
            if (!toInt(value, n) || n < 0 || n > 999)
                return fail("reportchannels 0 to 999");
            a.reportedChannels = n;
        } else if (key == "input" || key == "sensitivity") {
            std::istringstream v(value);
            int n = 0;
            std::string first, rest;
            v >> n >> first;
            std::getline(v, rest);
            rest = trimmed(rest);
            auto* ch = channelOf(a, n);
            if (!ch)
                return fail("channel number 1 to " + std::to_string(a.channels.size()));
            if (key == "input") {
                if (first.empty())
                    return fail("input <n> <code> [<text>]");
                ch->inputCode = first;
                ch->inputText = rest;
            } else {
                double d = 0;
                std::istringstream num(first);
                num.imbue(std::locale::classic());  // "." whatever the locale
                if (first.empty() || !(num >> d) || !num.eof() || rest.empty() || rest.find(',') != std::string::npos)
                    return fail("sensitivity <n> <value> <unit>");
                ch->sensitivity = first;
                ch->unit = rest;
            }
        } else if (key == "templates") {
            a.templates.clear();
            std::istringstream v(value);
            std::string utid;
            while (std::getline(v, utid, ','))
                if (!trimmed(utid).empty())
                    a.templates.push_back(trimmed(utid));
        } else if (key == "firmware") {
            std::istringstream v(value);
            char d1 = 0, d2 = 0;
            if (!(v >> a.firmwareMajor >> d1 >> a.firmwareMinor >> d2 >> a.firmwareBuild) || d1 != '.' || d2 != '.')
                return fail("firmware <major>.<minor>.<build>");
        } else if (key == "channels") {
            int n = 0;
            if (!toInt(value, n) || n < 1 || n > 16)
                return fail("channels 1 to 16");
            auto fresh = defaultChannels(a.type);
            a.channels.assign(static_cast<std::size_t>(n), fresh.front());
        } else if (key == "channel") {
            std::istringstream v(value);
            int n = 0;
            std::string mode, file;
            v >> n >> mode;
            std::getline(v, file);
            file = trimmed(file);
            if (n < 1 || n > static_cast<int>(a.channels.size()))
                return fail("channel number 1 to " + std::to_string(a.channels.size()));
            auto& ch = a.channels[static_cast<std::size_t>(n - 1)];
            if (mode == "multidrop")
                ch.master = MasterMode::MultiDrop;
            else if (mode == "single")
                ch.master = MasterMode::SingleNode;
            else
                return fail("channel <n> multidrop|single [file]");
            if (!file.empty()) {
                std::filesystem::path p(file);
                ch.networkFile = p.is_absolute() ? p : baseDir / p;
            }
        } else {
            return fail("unknown keyword '" + key + "'");
        }
    }
    if (c.amplifiers.empty())
        return fail("no amplifier");
    config = std::move(c);
    return true;
}

} // namespace platform::sim
