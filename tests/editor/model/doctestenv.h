#pragma once
// A program folder with the shipped template library, tag list and manufacturer list,
// fresh module state, scripted message boxes, and small hand-made templates.

#include "core/base/corestate.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "core/teds/bitfields.h"
#include "device/base/devicestate.h"
#include "device/state/devicelayer.h"
#include "editor/model/manufacturerlevels.h"
#include "editor/model/tedsdocument.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace doctest {

namespace fs = std::filesystem;

// The template of the public bridge-sensor vector in the shipped library (Windows-1252).
inline constexpr const char* kBridgeTemplate = "IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range";

// One field of a hand-made template.
struct FieldSpec {
    FieldSpec(std::string type_, int bits_, double p1_ = 0, double p2_ = 0, std::string format_ = "",
              std::string unit_ = "", int access_ = 2, std::string title_ = "Field")
        : type(std::move(type_)), bits(bits_), p1(p1_), p2(p2_), format(std::move(format_)), unit(std::move(unit_)),
          access(access_), title(std::move(title_))
    {
    }
    std::string type;
    int bits;
    double p1;
    double p2;
    std::string format;
    std::string unit;
    int access;
    std::string title;
};

class DocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::coreState().ProgramFolder = dir.path();
        for (const char* f : {"TagList.xdl", "IEEE_Templates.tdl", "ManufacturerList.xdl"})
            fs::copy_file(testing_support::dataDir() / f, dir / f);
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(dir.path());
    }

    // The shipped library and manufacturer list, as start-up reads them.
    void loadLibrary()
    {
        core::ParseTemplateFile("IEEE_Templates.tdl");
        core::ReadManufacturerList(dir / "ManufacturerList.xdl", core::listsState().Manufacturers);
        box.clear();
    }

    // A document holding only d's bytes and layout, as a node read would leave them.
    static editor::TedsDocument bytesOnly(const editor::TedsDocument& d)
    {
        editor::TedsDocument again;
        again.TedsBuf.dimension(d.TedsBuf.Size);
        again.TedsBuf.Bytes = d.TedsBuf.Bytes;
        again.TedsBuf.DraftLayout = d.TedsBuf.DraftLayout;
        return again;
    }

    int templateNamed(const std::string& name) const
    {
        const auto& st = core::tdlState();
        for (int t = 0; t <= st.TemplateLast; ++t)
            if (st.Templates[static_cast<std::size_t>(t)].name == name)
                return t;
        ADD_FAILURE() << "no template " << name;
        return -1;
    }

    // Appends a template of those fields (laid out from bit 0) and returns its index.
    int addTemplate(const std::string& name, const std::vector<FieldSpec>& fields,
                    const std::vector<core::TemplateSelector>& selectors = {}, int utidt = 2)
    {
        auto& st = core::tdlState();
        core::TemplateRecord t;
        t.name = name;
        t.UTIDT = utidt;
        int at = 0;
        for (const auto& s : fields) {
            auto& f = t.fields[static_cast<std::size_t>(++t.fieldLast)];
            f.title = s.title;
            f.typeKeyword = s.type;
            f.bitAddress = at;
            f.bitCount = s.bits;
            f.p1 = s.p1;
            f.p2 = s.p2;
            f.format = s.format;
            f.unit = s.unit;
            f.access = s.access;
            at += s.bits;
        }
        for (const auto& s : selectors) {
            t.selectors[static_cast<std::size_t>(++t.selectorLast)] = s;
            at = std::max(at, s.bitAddress + s.width);
        }
        t.lengthBits = at;
        const bool empty = st.TemplateParseLast < 0;
        const int index = empty ? 0 : st.TemplateLast + 1;
        st.Templates.resize(static_cast<std::size_t>(index) + 2);
        st.Templates[static_cast<std::size_t>(index)] = t;
        st.TemplateLast = index;
        st.TemplateParseLast = index;
        return index;
    }

    // The document shows template t over an image of size bytes holding the given bits.
    void showWith(int t, int size)
    {
        doc.TedsBuf.dimension(size);
        doc.setActualTemplate(t);
        doc.TedsManufacturerId = 31;
        doc.ShowForm();
    }

    // The row whose caption is that field title (-1 when none is).
    int rowOf(const std::string& caption) const
    {
        for (int k = 0; k < editor::kRowCount; ++k)
            if (doc.rows[static_cast<std::size_t>(k)].caption == caption)
                return k;
        ADD_FAILURE() << "no row " << caption;
        return -1;
    }

    std::uint64_t field(int pos, int n) const { return core::Bits2Val(doc.TedsBuf, pos, n).low64(); }

    testing_support::FreshState<device::resetDeviceLayer> fresh;
    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    editor::TedsDocument doc;
};

} // namespace doctest
