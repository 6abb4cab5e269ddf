#pragma once
// The bus master a device job talks through: the 1-Wire adapter behind the TMEX-like
// calls (InterfaceType::Adapter) or the 1-Wire master of an amplifier reached by ":MLAN" lines
// (any other type). The operations of session.h and byteio.h hand their work to the
// master in force, so each branch lives in one file: adaptermaster.cpp and
// amplifiermaster.cpp. Both set OneWireState::IoError when an exchange fails.

#include "device/memimage/memimage.h"

#include <cstdint>
#include <optional>
#include <string>

namespace device {

// How a job proves that its node answered, once per job.
enum class NodeProof {
    Search,  // the selection searches for the node (a read job)
    Reply,   // the job checks a reply only the node can give (a scratchpad read back)
};

class OneWireMaster {
public:
    virtual ~OneWireMaster() = default;

    // One search step (uLAN_FindNext); outputs are cleared by the caller.
    virtual std::optional<bool> findNext(bool& Found, bool& Done, std::string& RomId, int& Family) = 0;
    // Selects the node for a job; false when it cannot be selected (nothing left open).
    virtual bool select(const std::string& RomId, NodeProof proof) = 0;
    // Addresses the selected node again before the next command.
    virtual void access() = 0;
    // True when the selected node still answers (proved again, whatever the job did).
    virtual bool nodeAnswers() = 0;
    // Ends the job.
    virtual void end() = 0;

    virtual std::uint8_t touchByte(int b) = 0;
    virtual int touchBit(int b) = 0;
    // Data[first .. last] sent, each position receiving what the bus returned (at most 32).
    virtual void writeBlock(MemImage& image, int first, int last) = 0;
    // Data[first .. last] read from the node.
    virtual void readBlock(MemImage& image, int first, int last) = 0;
    virtual void strongPullup(int ms) = 0;
    // touchByte(b), the strong pull-up on from the end of its last slot, held for ms.
    virtual std::uint8_t touchByteThenPullup(int b, int ms) = 0;
    // writeBlock(image, first, last), the strong pull-up on from the end of the last
    // byte's last slot, held for ms.
    virtual void writeBlockThenPullup(MemImage& image, int first, int last, int ms) = 0;
    virtual int programByte(int value, int address, int memoryType, int& bits, int zeros) = 0;

    // The adapter branch moves a command and its data as one exchange (not cut into
    // 32-byte blocks); the drivers then merge them.
    virtual bool mergesBlocks() const { return false; }
    // Sends bytes whose read-back nobody needs: the adapter may send them with the next
    // exchange of the job.
    virtual void sendBlock(const ByteArray& bytes) { (void)bytes; }
    // Sends the bytes in one exchange, each replaced by what the bus returned.
    virtual void exchangeBlock(ByteArray& bytes) { (void)bytes; }
};

// The master of the adapter ports, and that of the amplifier link.
OneWireMaster& adapterMaster();
OneWireMaster& amplifierMaster();
// The master InterfaceType chooses: Adapter the adapter, any other value the amplifier.
OneWireMaster& oneWireMaster();

// Marks the running job's I/O as failed.
void markIoError();

} // namespace device
