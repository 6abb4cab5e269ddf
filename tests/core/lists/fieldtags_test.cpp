#include "core/base/message.h"
#include "core/lists/fieldtags.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const std::string kHeader = "Description Language Tags list version 0.0.2\r\n";

class FieldtagsTest : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(FieldtagsTest, ReadsTagsAndSkipsOtherLines)
{
    dir.write("TagList.xdl", kHeader +
                                 "* comment\r\n\r\n%Model Model number\r\n%Sens@Ref,Sensitivity, at reference\r\n"
                                 "not a tag\r\nValidation_keycode 123\r\n%Tab\tname and text\r\n%Last no line end");
    core::Fieldtags tags(dir.path());
    ASSERT_EQ(tags.Count(), 4);
    EXPECT_EQ(tags.MaxTags(), 4);
    EXPECT_EQ(tags.item(1)->name, "Model");
    EXPECT_EQ(tags.item(1)->Comment, "Model number");
    EXPECT_EQ(tags.item(2)->name, "Sens@Ref");
    EXPECT_EQ(tags.item(2)->Comment, "Sensitivity, at reference");
    EXPECT_EQ(tags.item(3)->name, "Tab\tname");  // a tab does not end the name
    EXPECT_EQ(tags.item(3)->Comment, "and text");
    EXPECT_EQ(tags.item(4)->name, "Last");  // taken without a following line
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(FieldtagsTest, LookupIgnoresLetterCase)
{
    dir.write("TagList.xdl", kHeader + "%Model Model number\r\n%Model Second\r\n");
    core::Fieldtags tags(dir.path());
    EXPECT_TRUE(tags.TagNameExist("MODEL"));
    EXPECT_TRUE(tags.TagNameExist("model"));
    EXPECT_FALSE(tags.TagNameExist("MODE"));
    ASSERT_TRUE(tags.FindbyName("mOdEl"));
    EXPECT_EQ(tags.FindbyName("mOdEl")->Comment, "Model number");  // the first one
    EXPECT_EQ(tags.FindbyName("nothing"), nullptr);
}

// The lookups go through an index of the names: a list changed after a lookup, or a tag
// renamed through its pointer, is still looked up as it now is.
TEST_F(FieldtagsTest, LookupFollowsChangesAfterTheFirstLookup)
{
    dir.write("TagList.xdl", kHeader + "%Model Model number\r\n%Serial Serial number\r\n%Last x\r\n");
    core::Fieldtags tags(dir.path());
    ASSERT_TRUE(tags.TagNameExist("serial"));
    tags.FindbyName("Serial")->name = "Series";
    EXPECT_FALSE(tags.TagNameExist("SERIAL"));
    ASSERT_TRUE(tags.FindbyName("series"));
    EXPECT_EQ(tags.FindbyName("series")->Comment, "Serial number");
    tags.Remove(1);
    EXPECT_FALSE(tags.TagNameExist("Model"));
    tags.add("")->name = "Model";
    ASSERT_TRUE(tags.FindbyName("MODEL"));
    EXPECT_EQ(tags.FindbyName("MODEL")->Comment, "");
}

TEST_F(FieldtagsTest, HeaderOnlyGivesAnEmptyList)
{
    dir.write("TagList.xdl", kHeader + "* only comments\r\n");
    core::Fieldtags tags(dir.path());
    EXPECT_EQ(tags.Count(), 0);
}

TEST_F(FieldtagsTest, WrongVersionEndsTheProgram)
{
    const auto p = dir.write("TagList.xdl", "Tags list version 0.0.1\r\n%Model x\r\n");
    EXPECT_THROW(core::Fieldtags tags(dir.path()), core::ProgramEnd);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Wrong version of Tag List, file: " + p.string() + "\r\nProgram will close now");
}

TEST_F(FieldtagsTest, MissingFileEndsTheProgram)
{
    EXPECT_THROW(core::Fieldtags tags(dir.path()), core::ProgramEnd);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Required file: " + (dir / "TagList.xdl").string() + " not found\r\nProgram will terminate");
}

TEST_F(FieldtagsTest, FileNameInAnyLetterCaseIsFound)
{
    dir.write("TAGLIST.XDL", kHeader + "%Model Model number\r\n%Last x\r\n");
    core::Fieldtags tags(dir.path());
    EXPECT_EQ(tags.Count(), 2);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(FieldtagsTest, CollectionOperations)
{
    core::Fieldtags tags;
    auto a = tags.add("");
    a->name = "A";
    tags.add("key")->name = "B";
    EXPECT_THROW(tags.add("key"), std::invalid_argument);
    EXPECT_EQ(tags.Count(), 2);
    tags.Remove(1);
    EXPECT_EQ(tags.item(1)->name, "B");
    EXPECT_THROW(tags.item(0), std::out_of_range);
    EXPECT_THROW(tags.item(2), std::out_of_range);
    EXPECT_THROW(tags.Remove(5), std::out_of_range);
}

} // namespace
