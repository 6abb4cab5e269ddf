// A transducer TEDS followed by a calibration template, on the public bridge-sensor vector
// (template 33, measurand 7, Single range): the fixed forms the library describes decode
// whole, with the user text after them; any other form shows the transducer's fields and
// says that a calibration template follows which the library does not decode.

#include "tests/core/bridgevector.h"
#include "tests/core/compiler/shippedlibrary.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace shipped_test;

constexpr const char* kBridge = "IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range";
constexpr int kBodyEnd = 317;  // first bit after the transducer's fields

// Writes values of the given widths one after another from bit at.
struct Writer {
    core::TedsBuf& tb;
    int at;
    Writer& put(std::uint64_t v, int n)
    {
        core::Val2Bits(static_cast<double>(v), at, n, tb);
        at += n;
        return *this;
    }
    // The end section and a user text.
    void end(const std::string& text)
    {
        put(3, 2).put(1, 1);
        for (char c : text)
            put(static_cast<unsigned char>(c), 7);
    }
};

// The vector with a calibration template after its fields: the selector 0, the id.
Writer calibrationFollows(core::TedsBuf& tb, int id)
{
    tb = testing_support::bridgeVector();
    // Bits past the vector's end section are clear: a fresh memory.
    for (int b = kBodyEnd; b < 8 * tb.Size; ++b)
        core::Val2Bits(0, b, 1, tb);
    Writer w{tb, kBodyEnd};
    w.put(0, 2).put(static_cast<std::uint64_t>(id), 8);
    return w;
}

struct Shown {
    int index = -1;
    editor::TedsDocument doc;
};

// The TEDS as the TEDS window shows it.
void show(const core::TedsBuf& tb, Shown& s)
{
    s.doc.TedsBuf = tb;
    s.index = 0;
    ASSERT_TRUE(s.doc.GetTemplate(s.index));
    ASSERT_EQ(s.doc.ShowForm(), editor::Display::Grid);
}

class CalibrationTemplates : public ShippedLibraryTest {
protected:
    void SetUp() override
    {
        show(testing_support::bridgeVector(), plain);
        ASSERT_EQ(T(plain.index).name, kBridge);
        ASSERT_EQ(T(plain.index).fieldLast, 19);  // 19 public fields and the user text
    }
    // Rows 0 .. 18 of s show what the plain vector's rows show.
    void expectTransducerFields(const Shown& s)
    {
        for (int k = 0; k < 19; ++k) {
            const auto& r = s.doc.rows[static_cast<std::size_t>(k)];
            const auto& p = plain.doc.rows[static_cast<std::size_t>(k)];
            EXPECT_EQ(r.caption, p.caption) << k;
            EXPECT_EQ(r.value, p.value) << p.caption;
            EXPECT_TRUE(r.visible) << p.caption;
        }
    }
    const editor::TedsRow& row(const Shown& s, int k) { return s.doc.rows.at(static_cast<std::size_t>(k)); }

    Shown plain;
};

TEST_F(CalibrationTemplates, OtherFormShowsTheTransducerFieldsAndTheNote)
{
    // A calibration table of 3 points, then the end section: no fixed form has 3 points.
    core::TedsBuf tb;
    auto w = calibrationFollows(tb, 40);
    w.put(0, 1).put(3, 7);
    for (int i = 0; i < 3; ++i)
        w.put(10000u * i, 16).put(1000000, 21);
    w.end("NOTE");
    Shown s;
    show(tb, s);
    const auto& t = T(s.index);
    EXPECT_EQ(t.name, std::string(kBridge) + ", calibration template follows, not decoded");
    EXPECT_EQ(s.doc.Title, t.name);
    ASSERT_GE(t.abstractCount, 4);
    EXPECT_EQ(t.abstractLines[0], "IEEE 1451.4 standard template 33");
    EXPECT_EQ(t.abstractLines.back(), "Followed by a calibration template that this library does not decode");
    EXPECT_EQ(t.fieldLast, 18);
    expectTransducerFields(s);
    EXPECT_FALSE(row(s, 19).visible);
    EXPECT_TRUE(box.shown.empty());

    // The same for a curve of 2 segments and for a template id that is no calibration template.
    for (const auto& [id, count] : std::vector<std::pair<int, int>>{{41, 2}, {42, 6}, {77, 0}}) {
        SCOPED_TRACE(id);
        auto v = calibrationFollows(tb, id);
        v.put(0, 1).put(static_cast<std::uint64_t>(count), 8);
        Shown o;
        show(tb, o);
        EXPECT_EQ(o.index, s.index);
    }
}

TEST_F(CalibrationTemplates, TableOfFivePointsDecodesWithTheUserTextAfterIt)
{
    core::TedsBuf tb;
    auto w = calibrationFollows(tb, 40);
    w.put(1, 1).put(5, 7);
    for (int i = 0; i < 5; ++i)
        w.put(10000u * i, 16).put(1000000 + 100u * i, 21);  // 0, 15, ... 60 %; deviation 0, 0.01, ... 0.04 %
    EXPECT_EQ(w.at, kBodyEnd + 2 + 8 + 1 + 7 + 5 * 37);
    w.end("CALIBRATED 2026");
    Shown s;
    show(tb, s);
    const auto& t = T(s.index);
    EXPECT_EQ(t.name, std::string(kBridge) + ", calibration table of 5 points");
    EXPECT_EQ(t.file, "IEEE_Calibration_Table.tdl");
    EXPECT_EQ(t.abstractLines.back(), "Followed by calibration template 40, a calibration table of 5 points");
    expectTransducerFields(s);
    EXPECT_EQ(row(s, 19).caption, "Calibration table domain (code: electrical or physical)");
    EXPECT_EQ(row(s, 19).value, "1");
    const std::vector<std::pair<std::string, std::string>> points = {
        {"Calibration point 1, domain value", "0.00%"},   {"Calibration point 1, deviation", "0.00%"},
        {"Calibration point 2, domain value", "15.000%"}, {"Calibration point 2, deviation", "10.0m%"},
        {"Calibration point 3, domain value", "30.000%"}, {"Calibration point 3, deviation", "20.0m%"},
        {"Calibration point 4, domain value", "45.000%"}, {"Calibration point 4, deviation", "30.0m%"},
        {"Calibration point 5, domain value", "60.000%"}, {"Calibration point 5, deviation", "40.0m%"},
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(row(s, 20 + static_cast<int>(i)).caption, points[i].first);
        EXPECT_EQ(row(s, 20 + static_cast<int>(i)).value, points[i].second) << points[i].first;
    }
    EXPECT_EQ(row(s, 30).caption, "User data");
    EXPECT_EQ(row(s, 30).value, "CALIBRATED 2026");
    EXPECT_EQ(t.fieldLast, 30);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CalibrationTemplates, CurveOfOneSegmentWithFourTermsDecodes)
{
    core::TedsBuf tb;
    auto w = calibrationFollows(tb, 41);
    w.put(0, 1).put(1, 8).put(5000, 13).put(4, 7);  // domain 0, 1 segment from 50 %, 4 terms
    const float coef[] = {0.5f, -1.25f, 2.0f, 1e-3f};
    for (int i = 0; i < 4; ++i)
        w.put(64u + 2u * i, 7).put(std::bit_cast<std::uint32_t>(coef[i]), 32);  // powers 0 .. 3
    Shown s;
    show(tb, s);
    const auto& t = T(s.index);
    EXPECT_EQ(t.name, std::string(kBridge) + ", calibration curve of 1 segment with 4 terms");
    EXPECT_EQ(t.lengthBits, w.at);
    expectTransducerFields(s);
    EXPECT_EQ(row(s, 19).value, "0");
    EXPECT_EQ(row(s, 20).caption, "Segment start");
    EXPECT_EQ(row(s, 20).value, "50.00%");
    const char* powers[] = {"0.0", "1.0", "2.0", "3.0"};
    const char* coefs[] = {"0.5", "-1.25", "2", "0.001"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(row(s, 21 + 2 * i).caption, "Term " + std::to_string(i + 1) + ", power of the domain value");
        EXPECT_EQ(row(s, 21 + 2 * i).value, powers[i]);
        EXPECT_EQ(row(s, 22 + 2 * i).caption, "Term " + std::to_string(i + 1) + ", coefficient");
        EXPECT_EQ(row(s, 22 + 2 * i).value, coefs[i]);
    }
    EXPECT_EQ(t.fieldLast, 28);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CalibrationTemplates, FrequencyResponseOfFivePointsDecodes)
{
    core::TedsBuf tb;
    auto w = calibrationFollows(tb, 42);
    w.put(5, 7);
    for (int i = 0; i < 5; ++i)
        w.put(0, 15).put(1000000 + 10000u * i, 21);  // 1 Hz; 0, 1, ... 4 %
    w.end("");
    Shown s;
    show(tb, s);
    const auto& t = T(s.index);
    EXPECT_EQ(t.name, std::string(kBridge) + ", frequency response of 5 points");
    expectTransducerFields(s);
    EXPECT_EQ(row(s, 19).caption, "Frequency point 1");
    EXPECT_EQ(row(s, 19).value, "1.0000Hz");
    EXPECT_EQ(row(s, 26).caption, "Amplitude at frequency point 4");
    EXPECT_EQ(row(s, 26).value, "3.0000%");
    EXPECT_EQ(row(s, 29).caption, "User data");
    EXPECT_EQ(row(s, 29).value, "");
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
