// Create and remap between templates of very different sizes: 41 fields, one field (the
// manufacturer), no field at all, and the small library's own; every pair both ways. The grid shows the
// target's rows and no more, values travel by tag, nothing throws or reads past a list.

#include "tests/editor/model/smalllibrary.h"

#include <string>

namespace {

using namespace smalllib;

std::string fullTemplate()
{
    std::string s = "TEMPLATE Full\r\nUTIDT 2\r\nUGID 0\r\n%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER\r\n";
    for (int i = 1; i < 41; ++i) {
        const char* tag = i % 3 == 0 ? "MeasID" : i % 3 == 1 ? "Model" : "SerialNumber";
        s += std::string("%") + tag + ",\"Field " + std::to_string(i) + "\",USR,7,UNINT,\"0\"\r\n";
        if (i % 4 == 0)
            s += "SPACING\r\n";
    }
    return s + "SELECTOR 8,106\r\nENDTEMPLATE\r\n";
}

class TemplateSizes : public SmallLibraryTest {
protected:
    void SetUp() override
    {
        SmallLibraryTest::SetUp();
        const std::string more = std::string(core::kDescriptionLanguageVersion) + "\r\n" + fullTemplate() +
                                 "TEMPLATE One\r\nUTIDT 2\r\nUGID 0\r\n%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER\r\n"
                                 "SELECTOR 8,107\r\nENDTEMPLATE\r\n"
                                 "TEMPLATE None\r\nUTIDT 2\r\nUGID 0\r\nSELECTOR 8,108\r\nENDTEMPLATE\r\n";
        ASSERT_TRUE(core::writeFileAtomic(dir / "Sizes.tdl", more));
        core::ParseTemplateFile("Sizes.tdl");
        ASSERT_EQ(core::tdlState().TemplateLast, Big + 3);
        box.clear();
    }
    static constexpr int FullT = Big + 1, OneT = Big + 2, NoneT = Big + 3;

    int visibleRows() const
    {
        int n = 0;
        for (const auto& r : doc.rows)
            n += r.visible ? 1 : 0;
        return n;
    }
    int fieldsOf(int t) const { return core::tdlState().Templates[static_cast<std::size_t>(t)].fieldLast + 1; }
};

TEST_F(TemplateSizes, CreateAndRemapEveryPairBothWays)
{
    const int all[] = {Source, Target, Big, FullT, OneT, NoneT};
    for (int a : all)
        for (int b : all) {
            if (a == b)
                continue;
            SCOPED_TRACE(testing::Message() << "from " << a << " to " << b);
            doc = editor::TedsDocument{};
            doc.TedsBuf.dimension(124);
            box.clear();
            ASSERT_NO_THROW(ASSERT_TRUE(doc.GetNewTemplate(a)));
            EXPECT_EQ(visibleRows(), fieldsOf(a));
            for (int k = 1; k < fieldsOf(a); ++k)
                doc.setRowValue(k, std::to_string(k % 100));
            ASSERT_NO_THROW(doc.updatebuf());
            int t = b;
            ASSERT_NO_THROW(doc.Remap_Template(t));
            EXPECT_EQ(doc.ActualTemplate(), b);
            EXPECT_EQ(visibleRows(), fieldsOf(b));
            for (const auto& p : box.prompts())
                EXPECT_EQ(p.find("Error"), std::string::npos) << p;
            // And back; then the bytes alone find the template again.
            t = a;
            ASSERT_NO_THROW(doc.Remap_Template(t));
            EXPECT_EQ(doc.ActualTemplate(), a);
            EXPECT_EQ(visibleRows(), fieldsOf(a));
            if (a == NoneT)
                continue;  // no manufacturer field: its bytes name no template
            editor::TedsDocument again = bytesOnly(doc);
            int found = 0;
            ASSERT_NO_THROW(EXPECT_TRUE(again.GetTemplate(found)));
            EXPECT_EQ(found, a);
        }
}

TEST_F(TemplateSizes, TheFullTemplatesGridHasEveryRowAndItsGaps)
{
    doc.TedsBuf.dimension(124);
    ASSERT_TRUE(doc.GetNewTemplate(FullT));
    ASSERT_EQ(visibleRows(), 41);
    EXPECT_EQ(doc.rows[40].caption, "Field 40");
    int gaps = 0;
    for (const auto& r : doc.rows)
        gaps += r.groupGap ? 1 : 0;
    EXPECT_EQ(gaps, 9);  // after fields 4, 8, ... 36 (the one after 40 has no row)
    // Values typed into the last rows survive an encode and a decode.
    doc.setRowValue(40, "99");
    doc.setRowValue(39, "77");
    doc.updatebuf();
    editor::TedsDocument again = bytesOnly(doc);
    int found = 0;
    ASSERT_TRUE(again.GetTemplate(found));
    EXPECT_EQ(found, FullT);
    again.ShowForm();
    EXPECT_EQ(again.rows[40].value, "99");
    EXPECT_EQ(again.rows[39].value, "77");
}

} // namespace
