// The DS2430A: its application register, the lock question, and the lock state taken
// from the node being written.
#include "driverfixture.h"

#include "device/drivers/fam14.h"
#include "device/drivers/memorynode.h"
#include "sim/onewire/simds2430.h"

using namespace drivertest;
using platform::sim::SimDs2430;

namespace {

const std::string kRegisterQuestion = "Are you sure you will program the application register (ROM) in DS2430 ?";
const std::string kLockQuestion = "Are you sure you will Write and Lock the ROM ?";

class Ds2430 : public DriverFixture {
protected:
    SimDs2430& node = add<SimDs2430>(0x14);

    bool memoryErased() const
    {
        return std::all_of(node.memory().begin(), node.memory().end(), [](auto b) { return b == 0xFF; });
    }
    // Locks the node with the register of tb's 40-byte image.
    void lockWithRegisterOf(const core::TedsBuf& tb)
    {
        for (int i = 0; i < 8; ++i)
            node.appRegister()[static_cast<std::size_t>(i)] = tb.Bytes[static_cast<std::size_t>(i + 1)];
        node.setLocked(true);
    }
};

TEST_F(Ds2430, FullImageIsWrittenAndLockedAfterTheQuestion)
{
    core::TedsBuf tb = image(node, false);
    box.queue(platform::MsgOK);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{kRegisterQuestion});
    EXPECT_EQ(box.shown[0].buttons, platform::MsgOkCancel);
    EXPECT_TRUE(node.locked());

    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_TRUE(device::deviceState().AppRomLocked);
    EXPECT_EQ(back.RawSize, 40);
    EXPECT_FALSE(back.DraftLayout);
    EXPECT_EQ(back.Status, core::TedsStatusReadOk);
    EXPECT_EQ(tedsBytes(back), tedsBytes(tb));
}

TEST_F(Ds2430, CancelWritesNothing)
{
    core::TedsBuf tb = image(node, false);
    box.queue(platform::MsgCancel);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_FALSE(confirmed);
    EXPECT_TRUE(memoryErased());
    EXPECT_FALSE(node.locked());
}

TEST_F(Ds2430, SuppressedQuestionIsCancelUnlessTheRequestAllowedIt)
{
    Suppressor server;
    core::setMessageSuppressor(&server);
    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(server.log, std::vector<std::string>{"MsgBox suppressed: " + kRegisterQuestion});
    EXPECT_TRUE(memoryErased());
    EXPECT_FALSE(node.locked());

    device::driverState().RomProgrammingAllowed = true;
    EXPECT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(node.locked());
}

TEST_F(Ds2430, WriteAndLockQuestionOfTheWriterIsNeverAnsweredForTheUser)
{
    core::TedsBuf tb = image(node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    Suppressor server;
    core::setMessageSuppressor(&server);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_fam14(mi, confirmed));
    EXPECT_EQ(server.log, std::vector<std::string>{"MsgBox suppressed: " + kLockQuestion});
    EXPECT_TRUE(memoryErased());

    core::setMessageSuppressor(nullptr);
    box.queue(platform::MsgOK);
    EXPECT_TRUE(device::Write_fam14(mi, confirmed));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{kLockQuestion});
    EXPECT_TRUE(node.locked());
}

TEST_F(Ds2430, ALockThatCannotBeVerifiedIsNoSuccess)
{
    core::TedsBuf tb = image(node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    net->clearTranscript();
    bool confirmed = true;
    ASSERT_TRUE(device::Write_fam14(mi, confirmed));
    ASSERT_TRUE(node.locked());
    ASSERT_EQ(byteAfter({0x5A, 0xA5}, 1, 0).slot, -1);  // one lock

    // Slot of byte k of the last run that begins with seq: after the lock, the
    // status read and the register read check it.
    auto lastRun = [this](const std::vector<int>& seq, int k) {
        long long slot = -1;
        for (int n = 0; byteAfter(seq, n, k).slot >= 0; ++n)
            slot = byteAfter(seq, n, k).slot;
        return slot;
    };
    struct Row {
        const char* name;
        long long slot;
    };
    const Row rows[] = {
        {"StatusAfterTheLock", lastRun({0x66, 0x00}, 2)},
        {"RegisterAfterTheLock", lastRun({0xC3, 0x00}, 5)},
    };
    ASSERT_GT(rows[0].slot, slotAfter({0x5A, 0xA5}, 0, 1));
    ASSERT_GT(rows[1].slot, rows[0].slot);
    const platform::sim::RomCode rom = node.rom();  // node is replaced below
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        // The same write on a fresh node, with a bit read back after the lock flipped.
        net->addNode(std::make_shared<SimDs2430>(rom));
        net->flipBitAfter(static_cast<std::uint64_t>(r.slot) + 3);
        box.clear();
        EXPECT_FALSE(device::Write_fam14(mi, confirmed));
        EXPECT_EQ(box.prompts(), std::vector<std::string>{"Comparing ROM failed"});
    }
}

TEST_F(Ds2430, LockStateComesFromTheNodeNotFromTheLastRead)
{
    // Another DS2430A read last had its register locked.
    device::deviceState().AppRomLocked = true;
    core::TedsBuf tb = image(node, false);
    box.queue(platform::MsgCancel);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{kRegisterQuestion});
    EXPECT_FALSE(node.locked());

    // And the other way round: this node is locked with the image's register.
    device::deviceState().AppRomLocked = false;
    lockWithRegisterOf(tb);
    box.clear();
    EXPECT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(Ds2430, LockedRegisterThatDiffersLeavesTheDataMemoryAlone)
{
    core::TedsBuf tb = image(node, false);
    lockWithRegisterOf(tb);
    node.appRegister()[3] ^= 0x01;
    bool confirmed = true;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Comparing ROM failed"});
    EXPECT_TRUE(memoryErased());
}

TEST_F(Ds2430, LockedRegisterAndShortLayoutIsRefused)
{
    core::TedsBuf tb = image(node, true);
    node.setLocked(true);
    bool confirmed = true;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(box.prompts(),
              std::vector<std::string>{"ROM allready used, the selected format requires that the ROM is not used"});
    EXPECT_TRUE(memoryErased());
}

TEST_F(Ds2430, LockedNodeReadsFullImageAndTheSpecialNodeAlwaysShort)
{
    node.setLocked(true);
    core::TedsBuf tb = blank(node);
    device::Read_Node(tb, false);
    EXPECT_EQ(tb.RawSize, 40);
    EXPECT_TRUE(device::deviceState().AppRomLocked);

    auto special = std::make_shared<SimDs2430>(*platform::sim::RomCode::fromNodeId(device::kFam14ShortImageId));
    special->setLocked(true);
    net->addNode(special);
    core::TedsBuf s;
    s.id = device::kFam14ShortImageId;
    s.Family = 0x14;
    device::Read_Node(s, true);
    EXPECT_TRUE(s.ReadOK);
    EXPECT_EQ(s.RawSize, 32);
    EXPECT_TRUE(device::deviceState().AppRomLocked);

    // An unlocked node reads short unless the full image is asked for.
    device::Read_Node(tb, false);
    EXPECT_EQ(tb.RawSize, 40);
    node.setLocked(false);
    device::Read_Node(tb, false);
    EXPECT_EQ(tb.RawSize, 32);
    EXPECT_FALSE(device::deviceState().AppRomLocked);
    device::Read_Node(tb, true);
    EXPECT_EQ(tb.RawSize, 40);
}

TEST_F(Ds2430, EraseFillsTheDataMemoryAndRefusesALockedRegister)
{
    core::TedsBuf tb = image(node, true);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    ASSERT_FALSE(memoryErased());

    EXPECT_TRUE(device::Erase_Node(tb));
    EXPECT_TRUE(memoryErased());
    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_EQ(back.Status, core::TedsStatusVirgin);

    node.setLocked(true);
    EXPECT_FALSE(device::Erase_Node(tb));
    EXPECT_EQ(box.prompts(),
              (std::vector<std::string>{"ROM allready used, the selected format requires that the ROM is not used",
                                        "Write not succeded"}));
}

TEST_F(Ds2430, InconsistentImageSizeIsReportedAndNothingSent)
{
    device::MemImage mi;
    mi.RomId = node.rom().nodeId();
    mi.Pages = 1;
    mi.PageSize = 32;
    mi.RomUsed = true;
    mi.Data.assign(33, 0xFF);
    net->clearTranscript();
    bool confirmed = true;
    EXPECT_FALSE(device::Write_fam14(mi, confirmed));
    mi.RomUsed = false;
    mi.PageSize = 40;
    mi.Data.assign(41, 0xFF);
    EXPECT_FALSE(device::Write_fam14(mi, confirmed));
    EXPECT_EQ(box.prompts(),
              (std::vector<std::string>{"Error in allocated memory size, please report error in Write_fam14, ID 0.4.68",
                                        "Error in allocated memory size, please report error in Write_fam14, ID 0.4.70"}));
    EXPECT_TRUE(sentBytes().empty());
}

TEST_F(Ds2430, UnreachableNodeIsNeverAVerifiedWrite)
{
    core::TedsBuf tb = image(node, true);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    net->removeNode(node.rom());
    bool confirmed = true;
    EXPECT_FALSE(device::Write_fam14(mi, confirmed));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Comparing failed"});
}

} // namespace
