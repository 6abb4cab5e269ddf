#pragma once
// Drivers against a simulated network through the TMEX layer, on virtual time: the
// node list and the file check are stand-ins the tests set, messages are scripted.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/tedsbuf.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/memimage/tedspacking.h"
#include "device/onewire/onewirestate.h"
#include "device/state/devicelayer.h"
#include "platform/base/scopedhook.h"
#include "sim/adapters/emulatedadapter.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simbackend.h"
#include "platform/onewire/tmex.h"
#include "sim/onewire/simnode.h"
#include "tests/support/freshstate.h"
#include "tests/support/simadapter.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace drivertest {

// The node list: every node of the network, unless a test sets the records itself.
class FakeNodeList final : public device::DriverNodeList {
public:
    explicit FakeNodeList(platform::sim::SimNetwork& net) : net_(net) {}
    std::vector<int> familyCodes() override
    {
        if (records)
            return *records;
        std::vector<int> f;
        for (const auto& n : net_.nodes())
            f.push_back(n->rom().family());
        return f;
    }
    bool NodeInList(const std::string& id) override
    {
        if (!listed.empty())
            return std::find(listed.begin(), listed.end(), id) != listed.end();
        for (const auto& n : net_.nodes())
            if (n->rom().nodeId() == id)
                return true;
        return false;
    }
    std::optional<std::vector<int>> records;
    std::vector<std::string> listed;

private:
    platform::sim::SimNetwork& net_;
};

class FakeValidation final : public device::FileValidation {
public:
    bool CheckAllFilesValidated(bool ask) override
    {
        ++calls;
        lastAsk = ask;
        return result;
    }
    bool result = true;
    int calls = 0;
    bool lastAsk = true;
};

// Suppresses messages as the running request server does.
class Suppressor final : public core::MessageSuppressor {
public:
    bool suppressing() override { return true; }
    void addLog(const std::string& text) override { log.push_back(text); }
    std::vector<std::string> log;
};

class DriverFixture : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    DriverFixture()
    {
        testing_support::selectAdapterPort();
        core::tdlState().Templates[0].validated = true;
        net->setTranscriptLimit(0);
        // The simulated network's own backend, or an adapter emulator (TEDSMITH_TEST_ADAPTER).
        adapter = platform::emu::serveFromEnvironment(net, 5, 1);
    }
    // The adapter's emulator (if any) was sent nothing its chip does not allow.
    void TearDown() override { EXPECT_EQ(adapter.protocolErrors(), std::vector<std::string>{}); }
    ~DriverFixture() override
    {
        core::setMessageSuppressor(nullptr);
    }

    template <class Node>
    Node& add(std::uint8_t family, std::uint64_t serial = 0x1234)
    {
        auto node = std::make_shared<Node>(platform::sim::RomCode::make(family, serial));
        net->addNode(node);
        return *node;
    }

    // An image for a node, TEDS bytes from a pattern, ready to be written.
    static core::TedsBuf image(const platform::sim::SimNode& node, bool draft, int seed = 3)
    {
        core::TedsBuf tb;
        tb.id = node.rom().nodeId();
        tb.Family = node.rom().family();
        tb.DraftLayout = draft;
        tb.TemplateIndex = 0;
        device::Set_Usable_Bytes(tb);
        tb.dimension(tb.Size);
        for (int i = 1; i <= tb.Size; ++i)
            tb.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 37 + seed) % 251);
        core::BytesToBits(tb);
        return tb;
    }

    // A fresh image of the node as the editor starts a read.
    static core::TedsBuf blank(const platform::sim::SimNode& node)
    {
        core::TedsBuf tb;
        tb.id = node.rom().nodeId();
        tb.Family = node.rom().family();
        return tb;
    }

    static std::vector<std::uint8_t> tedsBytes(const core::TedsBuf& tb)
    {
        return std::vector<std::uint8_t>(tb.Bytes.begin() + 1, tb.Bytes.begin() + 1 + tb.Size);
    }

    // The transcript with a byte followed by the strong pull-up written as the byte it is:
    // an adapter that cannot switch the pull-up on after a data byte sends it as eight
    // single slots, the last with the pull-up (the same bus traffic).
    std::vector<platform::sim::BusEvent> busEvents() const
    {
        using platform::sim::BusEvent;
        const auto& t = net->transcript();
        std::vector<BusEvent> out;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i].kind == BusEvent::StrongPullup && out.size() >= 8 &&
                std::all_of(out.end() - 8, out.end(), [](const BusEvent& e) { return e.kind == BusEvent::Bit; })) {
                BusEvent byte = out[out.size() - 8];
                byte.kind = BusEvent::Byte;
                byte.written = byte.read = 0;
                for (int k = 0; k < 8; ++k) {
                    const BusEvent& bit = out[out.size() - 8 + static_cast<std::size_t>(k)];
                    byte.written |= (bit.written & 1) << k;
                    byte.read |= (bit.read & 1) << k;
                }
                out.resize(out.size() - 8);
                out.push_back(byte);
            }
            out.push_back(t[i]);
        }
        return out;
    }

    // Bytes the master sent since the transcript was last cleared.
    std::vector<int> sentBytes() const
    {
        std::vector<int> out;
        for (const auto& e : busEvents())
            if (e.kind == platform::sim::BusEvent::Byte)
                out.push_back(e.written);
        return out;
    }
    struct ByteEvent {
        int written = 0;
        int read = 0;
        long long slot = -1;  // first slot, counted from the start of the transcript
    };
    // Byte k of the n-th (0-based) run of consecutive bytes that begins with seq (k counts
    // from the run's first byte); slot -1 when the transcript has none.
    ByteEvent byteAfter(const std::vector<int>& seq, int n, int k) const
    {
        struct Entry {
            ByteEvent e;
            bool follows;  // directly after the previous byte, nothing between
        };
        std::vector<Entry> bytes;
        long long slot = 0;
        bool follows = false;
        for (const auto& e : busEvents()) {
            if (e.kind == platform::sim::BusEvent::Byte) {
                bytes.push_back({{e.written, e.read, slot}, follows});
                slot += 8;
                follows = true;
            } else {
                if (e.kind == platform::sim::BusEvent::Bit)
                    slot += 1;
                follows = false;
            }
        }
        int seen = -1;
        for (std::size_t i = 0; i + seq.size() <= bytes.size(); ++i) {
            bool match = true;
            for (std::size_t j = 0; j < seq.size() && match; ++j)
                match = bytes[i + j].e.written == seq[j] && (j == 0 || bytes[i + j].follows);
            if (match && ++seen == n) {
                const std::size_t at = i + static_cast<std::size_t>(k);
                return at < bytes.size() ? bytes[at].e : ByteEvent{};
            }
        }
        return {};
    }
    long long slotAfter(const std::vector<int>& seq, int n, int k) const { return byteAfter(seq, n, k).slot; }
    // Byte events that sent cmd.
    int sent(int cmd) const
    {
        const auto b = sentBytes();
        return static_cast<int>(std::count(b.begin(), b.end(), cmd));
    }
    int events(platform::sim::BusEvent::Kind kind) const
    {
        const auto all = busEvents();
        return static_cast<int>(std::count_if(all.begin(), all.end(), [kind](const auto& e) { return e.kind == kind; }));
    }

    std::shared_ptr<platform::sim::SimNetwork> net = std::make_shared<platform::sim::SimNetwork>();
    platform::emu::EmulatedAdapter adapter;
    FakeNodeList nodes{*net};
    FakeValidation files;
    platform::ScopedHook<device::DriverNodeList*> nodesHook{&device::setDriverNodeList, &nodes};
    platform::ScopedHook<device::FileValidation*> filesHook{&device::setFileValidation, &files};
    // Last: the sessions close while the network and the emulator are there.
    testing_support::FreshState<device::resetDeviceLayer> fresh;
};

} // namespace drivertest
