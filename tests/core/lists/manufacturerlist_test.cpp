#include "core/base/message.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kHeader = "Manufacturer List Description Version 0.2\r\n";

class ManufacturerListTest : public ::testing::Test {
protected:
    void SetUp() override { core::resetListsState(); }
    void TearDown() override { core::resetListsState(); }
    const auto& ids() { return core::listsState().ManufacturerIds; }

    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    core::ManufacturerListModel list;
};

TEST_F(ManufacturerListTest, EntriesFillListAndTable)
{
    const auto p = dir.write("ManufacturerList.xdl", kHeader +
                                                         "* comment\r\n45,   Name with blanks  \r\n\r\n"
                                                         "Validation_keycode 5\r\n31,HBM\r\n4096, Unknown manufacturer");
    int changes = 0;
    list.addListener([&] { ++changes; });
    core::ReadManufacturerList(p, list);
    ASSERT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.List(0), "Name with blanks  ");  // trailing blanks kept
    EXPECT_EQ(list.List(1), "HBM");
    EXPECT_EQ(list.List(2), "Unknown manufacturer");  // last line taken
    EXPECT_EQ(list.ListIndex(), 0);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(ids()[0], 45);
    EXPECT_EQ(ids()[1], 31);
    EXPECT_EQ(ids()[2], 4096);
    for (int k = 3; k <= 16; ++k)
        EXPECT_EQ(ids()[k], 0) << k;
    for (int k = 17; k <= core::kManufacturerIdsLast; ++k)
        ASSERT_EQ(ids()[k], -1) << k;
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ManufacturerListTest, MalformedLinesAreReportedAndSkipped)
{
    const auto p = dir.write("ManufacturerList.xdl", kHeader + "no comma here\r\nabc, Letters\r\n17, Good\r\n");
    core::ReadManufacturerList(p, list);
    ASSERT_EQ(list.ListCount(), 1);
    EXPECT_EQ(list.List(0), "Good");
    EXPECT_EQ(ids()[0], 17);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt,
              "Error in manufacturer list file: " + p.string() + " near line : 2\r\nno comma here\r\nline ignored");
}

TEST_F(ManufacturerListTest, NeverWritesPastTheTable)
{
    std::string body = kHeader;
    for (int i = 0; i < 4100; ++i)
        body += std::to_string(100 + i) + ", M" + std::to_string(i) + "\r\n";
    const auto p = dir.write("ManufacturerList.xdl", body);
    core::ReadManufacturerList(p, list);
    EXPECT_EQ(list.ListCount(), 4097);
    EXPECT_EQ(ids()[4096], 100 + 4096);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Too many entries in manufacturer list file: " + p.string() + "\r\nonly the first 4097 are used");
}

TEST_F(ManufacturerListTest, WrongVersionEndsTheProgram)
{
    const auto p = dir.write("ManufacturerList.xdl", "Manufacturer List 0.1\r\n17, A\r\n");
    EXPECT_THROW(core::ReadManufacturerList(p, list), core::ProgramEnd);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Wrong version of Manufacturer List, file: " + p.string() + "\r\nProgram will close now");
    EXPECT_EQ(list.ListCount(), 0);
}

TEST_F(ManufacturerListTest, EmptyListSelectsNothing)
{
    const auto p = dir.write("ManufacturerList.xdl", kHeader);
    core::ReadManufacturerList(p, list);
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_THROW(list.setListIndex(0), std::out_of_range);
}

} // namespace
