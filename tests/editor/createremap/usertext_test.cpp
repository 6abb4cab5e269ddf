// The user text runs to the end of the memory: for a template of every standard template id
// (its longest case path) and for a transducer followed by a calibration table, a TEDS
// created through the create dialog on an empty DS2431 and on an empty DS2433 takes a user
// text of every character the rest of the memory holds, is written, and the next scan reads
// the whole text back.

#include "core/base/textfile.h"
#include "core/lists/manufacturerlist.h"
#include "core/teds/bitfields.h"
#include "editor/createremap/newremapmodel.h"
#include "tests/editor/tedswindow/tedsfixture.h"
#include "editor/tedswindow/editorstate.h"

#include <QLineEdit>

#include <cstdio>
#include <functional>
#include <map>

namespace {

using editor::NewRemapModel;

struct DialogNeighbours final : editor::StandInTedsNeighbours {
    bool runTemplateDialog(int mode, editor::TedsF& owner) override
    {
        model.Initiate(mode, owner.doc);
        if (user)
            user(model);
        return model.GotTemplate();
    }
    NewRemapModel model;
    std::function<void(NewRemapModel&)> user;
};

class UserTextToTheEnd : public teds_test::TedsWindowTest {
protected:
    UserTextToTheEnd()
    {
        // The whole library, as start-up reads it.
        core::resetTdlState();
        for (const auto& p : core::matchFiles(testing_support::dataDir(), "*.TDL"))
            core::ParseTemplateFile(p.filename().string());
        core::ReadManufacturerList(testing_support::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
        editor::setTedsNeighbours(&dialog);
    }
    static const core::TemplateRecord& T(int t) { return core::tdlState().Templates.at(static_cast<std::size_t>(t)); }

    // The standard template of each template id with the longest case path.
    static std::map<int, int> longestPaths()
    {
        std::map<int, int> out;
        const auto& lib = core::tdlState();
        for (int t = 0; t <= lib.TemplateLast; ++t) {
            const auto& r = T(t);
            if (r.file != "IEEE_Templates.tdl" || r.UTIDT != 2 || r.selectorLast < 1 ||
                r.fields[static_cast<std::size_t>(r.fieldLast)].tagName != "USERDATA")
                continue;
            const int id = r.selectors[1].match;
            auto it = out.find(id);
            if (it == out.end() || T(it->second).lengthBits < r.lengthBits)
                out[id] = t;
        }
        return out;
    }
    int templateNamed(const std::string& name) const
    {
        const auto& st = core::tdlState();
        for (int t = 0; t <= st.TemplateLast; ++t)
            if (T(t).name == name)
                return t;
        return -1;
    }

    DialogNeighbours dialog;
};

// A text of n characters that ends in a letter (trailing blanks are not shown).
std::string textOf(int n)
{
    const std::string chars = "The quick brown fox jumps over the lazy dog 0123456789, ";
    std::string s;
    for (int i = 0; i < n; ++i)
        s += chars[static_cast<std::size_t>(i) % chars.size()];
    if (!s.empty())
        s.back() = 'Z';
    return s;
}

TEST_F(UserTextToTheEnd, FullLengthOnEveryStandardTemplateAndChip)
{
    auto templates = longestPaths();
    // Templates 25, 27 and 30 to 39.
    ASSERT_EQ(templates.size(), 12u);
    const int table = templateNamed("IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range, calibration table of 5 points");
    ASSERT_GE(table, 0);
    templates[40] = table;
    const int hbm = core::ManufacturerIndexFromId(31);
    struct Chip {
        int family;
        int bytes;
    };
    int serial = 0x500;
    for (const Chip chip : {Chip{0x2D, 124}, Chip{0x23, 496}}) {
        for (const auto& entry : templates) {
            const int t = entry.second;
            const auto& rec = T(t);
            SCOPED_TRACE(rec.name + (chip.family == 0x2D ? " on a DS2431" : " on a DS2433"));
            const std::string node = platform::sim::RomCode::make(static_cast<std::uint8_t>(chip.family), ++serial).nodeId();
            char head[64];
            std::snprintf(head, sizeof head, "node %02X:%012X\n", chip.family, serial);
            net->clearNodes();
            shell::resetNodesState();
            shell::collectDeferred();
            load(head);
            scan();
            editor::TedsF* w = window(node);
            ASSERT_NE(w, nullptr);

            dialog.user = [&](NewRemapModel& m) {
                m.chooseTemplate(t);
                m.chooseManufacturer(hbm);
                EXPECT_TRUE(m.Command1_Click());
            };
            w->CreateNewTEDS(*w, "id" + node);
            ASSERT_EQ(w->doc.ActualTemplate(), t);
            // The create path sizes the TEDS to the node.
            EXPECT_EQ(w->doc.TedsBuf.Size, chip.bytes);
            const int k = rec.fieldLast;
            const auto& user = rec.fields[static_cast<std::size_t>(k)];
            ASSERT_EQ(w->doc.rows[static_cast<std::size_t>(k)].caption, "User data");
            const int chars = (8 * chip.bytes - user.bitAddress) / 7;
            EXPECT_GE(chars, chip.family == 0x2D ? 65 : 480);

            // Editing on; a text longer than the memory keeps what fits.
            w->mnuTemplate_Click(editor::TemplateReadOnly);
            const std::string text = textOf(chars);
            w->Col2[k]->setText(QString::fromStdString(text + "beyond"));
            w->Col2_LostFocus(k);
            EXPECT_EQ(w->doc.rows[static_cast<std::size_t>(k)].value, text);

            box.clear();
            runJob(*w, 2);
            for (const auto& p : box.prompts())
                EXPECT_EQ(p.rfind("Are you sure you will program", 0), 0u) << p;
            EXPECT_FALSE(listed(node));
            scan();
            editor::TedsF* again = window(node);
            ASSERT_NE(again, nullptr);
            ASSERT_EQ(again->doc.TedsBuf.Status, core::TedsStatusReadOk);
            EXPECT_EQ(again->doc.ActualTemplate(), t);
            EXPECT_EQ(again->doc.rows[static_cast<std::size_t>(k)].value, text);
        }
    }
}

} // namespace
