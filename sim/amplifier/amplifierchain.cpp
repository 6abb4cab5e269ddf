#include "sim/amplifier/amplifierchain.h"

#include <algorithm>
#include <cctype>

namespace platform::sim {

namespace {

bool startsWithNoCase(const std::string& s, const std::string& prefix)
{
    return s.size() >= prefix.size() && upperAscii(s.substr(0, prefix.size())) == prefix;
}

bool twoDigitsAt(const std::string& s, std::size_t i)
{
    return i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) &&
           std::isdigit(static_cast<unsigned char>(s[i + 1]));
}

bool answers(const SimAmplifier& a) { return !a.config().silent && !a.config().mute; }

// A chain served for hours keeps its recent history only.
constexpr std::size_t kMaxHistory = 200000;
template <class T>
void bound(std::vector<T>& v)
{
    if (v.size() > kMaxHistory)
        v.erase(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(kMaxHistory / 2));
}

} // namespace

AmplifierChain::AmplifierChain(const AmplifierSimConfig& config) : line_(config.line), awake_(!config.line.asleep)
{
    for (const auto& a : config.amplifiers) {
        amps_.push_back(std::make_unique<SimAmplifier>(a, config.headerAtStart));
        channelConfigs_.push_back(a.channels);
    }
}

bool AmplifierChain::loadNetworks(std::string& error)
{
    for (std::size_t a = 0; a < amps_.size(); ++a) {
        for (std::size_t c = 0; c < channelConfigs_[a].size(); ++c) {
            const auto& file = channelConfigs_[a][c].networkFile;
            if (file.empty())
                continue;
            std::string e;
            if (!amps_[a]->channel(static_cast<int>(c + 1)).network().loadFile(file, e)) {
                error = "amplifier " + std::to_string(a + 1) + " channel " + std::to_string(c + 1) + ": " + e;
                return false;
            }
        }
    }
    return true;
}

void AmplifierChain::hostWrote(const std::string& bytes, TimePoint at)
{
    for (char c : bytes)
        character(c, at);
}

void AmplifierChain::character(char c, TimePoint at)
{
    if (!awake_) {
        if (c == '@' && !wakeAt_)
            wakeAt_ = at + line_.wakeDelay;
        if (!wakeAt_ || at < *wakeAt_) {
            if (transcript_.empty() || !transcript_.back().asleep)
                transcript_.push_back({at, "", true});
            transcript_.back().text += c;
            return;
        }
        awake_ = true;
        wakeAt_.reset();
    }
    if (line_.echo)
        emitText(std::string(1, c), at + line_.echoDelay);
    if (c == '\n') {
        std::string text = std::move(buffer_);
        buffer_.clear();
        confirm_.reset();
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        lineDone(text, at);
        return;
    }
    buffer_ += c;
    addressing(at);
}

void AmplifierChain::addressing(TimePoint at)
{
    if (confirm_) {
        const auto& [index, name] = *confirm_;
        if (buffer_ == name) {
            heard(name, at);
            amps_[index]->setAddress(std::stoi(name.substr(5)));
            emitText("OK", at + line_.replyDelay);
            confirm_.reset();
            buffer_.clear();
        } else if (name.compare(0, buffer_.size(), buffer_) != 0) {
            confirm_.reset();
        }
        return;
    }
    if (buffer_.size() != 15 || !startsWithNoCase(buffer_, "PELOX00 IDNUM") || !twoDigitsAt(buffer_, 13))
        return;
    // The command is complete with its two digits, whether anybody answers or not:
    // what follows starts a new line.
    const std::string digits = buffer_.substr(13);
    heard(buffer_, at);
    buffer_.clear();
    const int nn = std::stoi(digits);
    if (nn < 1)
        return;
    const auto it = std::find_if(amps_.begin(), amps_.end(), [](const auto& a) { return a->address() == 0; });
    if (it == amps_.end() || (*it)->config().silent)
        return;
    const std::string name = "PELOX" + digits;
    emitText(name, at + line_.replyDelay);
    confirm_ = std::make_pair(static_cast<std::size_t>(it - amps_.begin()), name);
}

void AmplifierChain::lineDone(const std::string& text, TimePoint at)
{
    lines_.push_back(text);
    bound(lines_);
    heard(text, at);
    if (text.find_first_not_of('@') == std::string::npos)
        return;
    std::string command = text;
    SimAmplifier* target = nullptr;
    if (startsWithNoCase(text, "PELOX") && twoDigitsAt(text, 5) && (text.size() == 7 || text[7] == ' ')) {
        const int nn = std::stoi(text.substr(5, 2));
        command = text.size() > 8 ? text.substr(8) : std::string();
        if (nn == 0) {
            if (upperAscii(command) == "IDRESET") {
                for (auto& a : amps_)
                    a->setAddress(0);
                selected_ = 0;
            } else if (!command.empty()) {
                for (auto& a : amps_)
                    if (answers(*a))
                        a->handle(command, at);
            }
            return;
        }
        const auto it = std::find_if(amps_.begin(), amps_.end(), [nn](const auto& a) { return a->address() == nn; });
        if (it == amps_.end())
            return; // nobody has that address: the line runs off the end of the chain
        selected_ = static_cast<std::size_t>(it - amps_.begin());
        if (command.empty())
            return;
        target = it->get();
    } else {
        const std::string upper = upperAscii(text);
        if (upper == "HEADER ON" || upper == "HEADER OFF" || upper == "MLAN OFF") {
            for (auto& a : amps_)
                if (answers(*a))
                    a->handle(text, at);
            return;
        }
        if (selected_ >= amps_.size())
            return;
        target = amps_[selected_].get();
    }
    if (!answers(*target))
        return;
    if (auto reply = target->handle(command, at))
        emitLine(reply->text, std::max(at + line_.replyDelay, reply->notBefore));
}

void AmplifierChain::emitLine(const std::string& text, TimePoint at)
{
    emitText(text + line_.lineEnd + line_.junkAfterLineEnd, at);
}

void AmplifierChain::emitText(const std::string& text, TimePoint at)
{
    TimePoint t = at;
    for (char c : text) {
        if (!out_.empty())
            t = std::max(t, out_.back().first + line_.charInterval);
        out_.emplace_back(t, c);
    }
}

std::string AmplifierChain::sentBy(TimePoint now)
{
    std::string s;
    while (!out_.empty() && out_.front().first <= now) {
        s += out_.front().second;
        out_.pop_front();
    }
    return s;
}

void AmplifierChain::heard(const std::string& text, TimePoint at)
{
    transcript_.push_back({at, text});
    bound(transcript_);
}

std::vector<std::string> AmplifierChain::heardTexts() const
{
    std::vector<std::string> t;
    for (const auto& h : transcript_)
        t.push_back(h.text);
    return t;
}

std::optional<TimePoint> AmplifierChain::nextDue() const
{
    if (out_.empty())
        return std::nullopt;
    return out_.front().first;
}

} // namespace platform::sim
