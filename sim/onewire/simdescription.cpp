// Reading the network description text (format: simnetwork.h, loadDescription).

#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simtedsimage.h"
#include "sim/onewire/simthermometer.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>

namespace platform::sim {

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> tokens(const std::string& line)
{
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string t;
    while (in >> t)
        out.push_back(t);
    return out;
}

bool hexValue(const std::string& s, unsigned long& v)
{
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// Hex bytes from the tokens from index first on; pairs of digits, blanks optional.
bool hexBytes(const std::vector<std::string>& t, std::size_t first, std::vector<std::uint8_t>& out)
{
    for (std::size_t i = first; i < t.size(); ++i) {
        if (t[i].size() % 2 != 0)
            return false;
        for (std::size_t k = 0; k < t[i].size(); k += 2) {
            unsigned long v = 0;
            if (!hexValue(t[i].substr(k, 2), v))
                return false;
            out.push_back(static_cast<std::uint8_t>(v));
        }
    }
    return !out.empty();
}

bool parseRom(const std::string& text, RomCode& rom, std::string& why)
{
    if (const auto colon = text.find(':'); colon != std::string::npos) {
        unsigned long family = 0;
        unsigned long long serial = 0;
        const std::string s = text.substr(colon + 1);
        const auto r = std::from_chars(s.data(), s.data() + s.size(), serial, 16);
        if (!hexValue(text.substr(0, colon), family) || family > 0xFF || s.empty() || s.size() > 12 ||
            r.ec != std::errc() || r.ptr != s.data() + s.size()) {
            why = "node id '" + text + "' is not <family>:<serial>";
            return false;
        }
        rom = RomCode::make(static_cast<std::uint8_t>(family), serial);
        return true;
    }
    const auto parsed = RomCode::fromNodeId(text);
    if (!parsed) {
        why = "node id '" + text + "' is not 16 hex digits";
        return false;
    }
    if (!parsed->crcValid()) {
        const RomCode good = RomCode::make(parsed->family(), [&] {
            std::uint64_t s = 0;
            for (int i = 0; i < 6; ++i)
                s |= static_cast<std::uint64_t>(parsed->bytes[1 + i]) << (8 * i);
            return s;
        }());
        why = "node id '" + text + "' has a wrong CRC (the id would be " + good.nodeId() + ")";
        return false;
    }
    rom = *parsed;
    return true;
}

// Descriptions and TEDS files are small: only regular files are read (no device or
// pipe that never ends), and at most this many bytes of them.
constexpr std::size_t kMaxFileBytes = 1 << 20;

// The file's bytes (why cleared); false with why ("cannot read <file>...") otherwise.
bool readFileBytes(const std::filesystem::path& p, std::string& out, std::string& why)
{
    why = "cannot read " + p.string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) {
        if (std::filesystem::exists(p, ec))
            why += " (not a regular file)";
        return false;
    }
    const std::string tooLarge = " (larger than " + std::to_string(kMaxFileBytes) + " bytes)";
    const auto size = std::filesystem::file_size(p, ec);
    if (!ec && size > kMaxFileBytes) {
        why += tooLarge;
        return false;
    }
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return false;
    // The limit holds while reading too: the file may grow meanwhile.
    std::string bytes;
    char chunk[16384];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxFileBytes) {
            why += tooLarge;
            return false;
        }
    }
    if (in.bad())
        return false;
    out = std::move(bytes);
    why.clear();
    return true;
}

// Writes bytes into a node's memory at address; false when the node has none or they do not fit.
bool putMemory(SimNode& node, std::size_t address, const std::vector<std::uint8_t>& bytes, std::string& why)
{
    auto put = [&](auto& mem) {
        if (address > mem.size() || bytes.size() > mem.size() - address) {
            why = "memory beyond the end of the node's memory";
            return false;
        }
        std::copy(bytes.begin(), bytes.end(), mem.begin() + static_cast<std::ptrdiff_t>(address));
        return true;
    };
    if (auto* n = dynamic_cast<SimDualSwitch*>(&node))
        return put(n->memory());
    if (auto* n = dynamic_cast<SimDs2430*>(&node)) {
        const bool ok = put(n->memory());
        n->scratchpad() = n->memory();
        return ok;
    }
    if (auto* n = dynamic_cast<SimScratchEeprom*>(&node))
        return put(n->memory());
    why = "a " + node.typeName() + " node has no memory";
    return false;
}

bool applyTds(SimNode& node, const std::filesystem::path& file, std::string& why)
{
    std::string bytes;
    if (!readFileBytes(file, bytes, why))
        return false;
    TedsFileImage teds;
    if (!readTedsFile(bytes, teds)) {
        why = file.string() + " is not a TEDS memory file";
        return false;
    }
    const auto image = packTeds(node.rom().family(), teds.bytes, teds.draftLayout);
    if (!image) {
        why = "a " + node.typeName() + " node holds no TEDS";
        return false;
    }
    if (!putMemory(node, 0, image->memory, why))
        return false;
    if (auto* n = dynamic_cast<SimDs2430*>(&node); n && image->appRegister) {
        std::copy(image->appRegister->begin(), image->appRegister->end(), n->appRegister().begin());
        n->appScratchpad() = n->appRegister();
        n->setLocked(true);
    }
    return true;
}

bool flag(const std::string& s, bool& v)
{
    if (s == "0" || s == "1") {
        v = s == "1";
        return true;
    }
    return false;
}

bool statement(SimNode& node, const std::vector<std::string>& t, const std::filesystem::path& baseDir,
               std::string& why)
{
    const std::string key = lower(t[0]);
    auto* thermo = dynamic_cast<SimThermometer*>(&node);
    auto* sw = dynamic_cast<SimDualSwitch*>(&node);
    auto* app = dynamic_cast<SimDs2430*>(&node);
    auto* d2431 = dynamic_cast<SimDs2431*>(&node);
    auto wrongNode = [&] {
        why = "'" + t[0] + "' does not apply to a " + node.typeName() + " node";
        return false;
    };
    if (key == "memory" || key == "status") {
        unsigned long address = 0;
        std::vector<std::uint8_t> bytes;
        if (t.size() < 3 || !hexValue(t[1], address) || !hexBytes(t, 2, bytes)) {
            why = "expected: " + key + " <hex address> <hex bytes>";
            return false;
        }
        if (key == "memory")
            return putMemory(node, address, bytes, why);
        if (!sw)
            return wrongNode();
        if (address > sw->status().size() || bytes.size() > sw->status().size() - address) {
            why = "status beyond address 7";
            return false;
        }
        std::copy(bytes.begin(), bytes.end(), sw->status().begin() + static_cast<std::ptrdiff_t>(address));
        return true;
    }
    if (key == "tds") {
        if (t.size() != 2) {
            why = "expected: tds <file>";
            return false;
        }
        std::filesystem::path p(t[1]);
        if (p.is_relative())
            p = baseDir / p;
        return applyTds(node, p, why);
    }
    if (key == "temperature" || key == "conversion") {
        if (!thermo)
            return wrongNode();
        double v = 0;
        const auto r = t.size() == 2 ? std::from_chars(t[1].data(), t[1].data() + t[1].size(), v)
                                     : std::from_chars_result{nullptr, std::errc::invalid_argument};
        // Conversion times up to an hour; no infinities or NaN.
        if (r.ec != std::errc() || r.ptr != t[1].data() + t[1].size() || !std::isfinite(v) ||
            (key == "conversion" && (v < 0 || v > 3600000.0))) {
            why = "expected: " + key + " <number>";
            return false;
        }
        if (key == "temperature")
            thermo->setTemperature(v);
        else
            thermo->setConversionTime(Micros(static_cast<long long>(v * 1000.0)));
        return true;
    }
    if (key == "chip" && thermo) {
        const std::string chip = t.size() == 2 ? lower(t[1]) : std::string();
        if (chip != "ds1820" && chip != "ds18s20") {
            why = "expected: chip DS1820|DS18S20";
            return false;
        }
        thermo->setChip(chip == "ds18s20" ? SimThermometer::Chip::DS18S20 : SimThermometer::Chip::DS1820);
        return true;
    }
    if (key == "inputs" || key == "flipflops") {
        bool a = true, b = true;
        if (!sw)
            return wrongNode();
        if (t.size() != 3 || !flag(t[1], a) || !flag(t[2], b)) {
            why = "expected: " + key + " <0|1> <0|1>";
            return false;
        }
        if (key == "inputs")
            sw->setInputLevels(a, b);
        else
            sw->setFlipFlops(a, b);
        return true;
    }
    if (key == "powered") {
        if (!sw)
            return wrongNode();
        sw->setPowered(true);
        return true;
    }
    if (key == "register") {
        std::vector<std::uint8_t> bytes;
        if (!app)
            return wrongNode();
        if (!hexBytes(t, 1, bytes) || bytes.size() != 8) {
            why = "expected: register <8 hex bytes>";
            return false;
        }
        std::copy(bytes.begin(), bytes.end(), app->appRegister().begin());
        app->appScratchpad() = app->appRegister();
        return true;
    }
    if (key == "locked") {
        if (!app)
            return wrongNode();
        app->setLocked(true);
        return true;
    }
    if (key == "protect") {
        if (!d2431)
            return wrongNode();
        const std::string mode = t.size() == 3 ? lower(t[2]) : "";
        if (t.size() != 3 || t[1].size() != 1 || t[1][0] < '0' || t[1][0] > '3' ||
            (mode != "open" && mode != "write" && mode != "eprom")) {
            why = "expected: protect <page 0..3> open|write|eprom";
            return false;
        }
        d2431->setProtection(t[1][0] - '0', mode == "write"   ? SimDs2431::Protection::WriteProtected
                                            : mode == "eprom" ? SimDs2431::Protection::EpromMode
                                                              : SimDs2431::Protection::Open);
        return true;
    }
    why = "unknown keyword '" + t[0] + "'";
    return false;
}

} // namespace

bool SimNetwork::loadDescription(const std::string& text, const std::filesystem::path& baseDir,
                                 std::string& error)
{
    std::vector<std::shared_ptr<SimNode>> fresh;
    std::set<RomCode> seen;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        const auto t = tokens(line);
        if (t.empty())
            continue;
        std::string why;
        if (lower(t[0]) == "node") {
            RomCode rom;
            if (t.size() != 2) {
                why = "expected: node <id>";
            } else if (parseRom(t[1], rom, why)) {
                if (!seen.insert(rom).second)
                    why = "node " + rom.nodeId() + " appears twice";
                else
                    fresh.push_back(makeNode(rom));
            }
        } else if (fresh.empty()) {
            why = "'" + t[0] + "' before the first node";
        } else {
            statement(*fresh.back(), t, baseDir, why);
        }
        if (!why.empty()) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
    }
    // Nodes already on the bus keep their state; the others are plugged in or out.
    std::vector<std::shared_ptr<SimNode>> next;
    next.reserve(fresh.size());
    for (auto& n : fresh) {
        const auto old = byRom_.find(n->rom());
        next.push_back(old != byRom_.end() ? old->second : n);
    }
    replaceNodes(std::move(next));
    return true;
}

namespace {

std::filesystem::file_time_type writeTime(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(file, ec);
    return ec ? std::filesystem::file_time_type{} : t;
}

} // namespace

bool SimNetwork::loadFile(const std::filesystem::path& file, std::string& error)
{
    const auto written = writeTime(file);
    std::string text;
    if (!readFileBytes(file, text, error))
        return false;
    if (!loadDescription(text, file.parent_path(), error)) {
        error = file.filename().string() + ", " + error;
        return false;
    }
    source_ = file;
    sourceTime_ = written;
    return true;
}

bool SimNetwork::reload(std::string& error)
{
    if (source_.empty()) {
        error = "no description file loaded";
        return false;
    }
    return loadFile(source_, error);
}

SimNetwork::Reload SimNetwork::reloadIfChanged(std::string& error)
{
    if (source_.empty())
        return Reload::Unchanged;
    const auto written = writeTime(source_);
    if (written == sourceTime_)
        return Reload::Unchanged;
    sourceTime_ = written;  // a file that fails is not read again until it changes
    return loadFile(source_, error) ? Reload::Reloaded : Reload::Failed;
}

} // namespace platform::sim
