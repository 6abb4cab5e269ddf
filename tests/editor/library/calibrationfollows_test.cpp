// Transducer TEDS followed by a calibration template (40 table, 41 curve, 42 frequency
// response), encoded from the public tables: the fixed forms the library decodes (a
// table of 5 points, a curve of 1 segment with 4 terms, a response of 5 points) show
// every entry; any other count shows the transducer's fields under a template that says
// a calibration template follows; the Basic TEDS only when nothing else fits.

#include "tests/editor/library/attackfixture.h"

#include <functional>

namespace library_attack {
namespace {

struct Transducer {
    std::string label;
    std::function<void(TedsWriter&)> write;
};
const std::vector<Transducer>& transducers()
{
    static const std::vector<Transducer> t = {
        {"T25 accelerometer", [](TedsWriter& w) { t25(w, 0, 0, 0); }},
        {"T25 force programmable tf", [](TedsWriter& w) { t25(w, 1, 1, 1); }},
        {"T27 microphone", [](TedsWriter& w) { t27(w, 1, 1, 1); }},
        {"T30 m12 p3 x1", [](TedsWriter& w) { t30(w, 12, 3, 1); }},
        {"T31 m4 p1 ext", [](TedsWriter& w) { t31(w, 4, 1, 1); }},
        {"T32 m0 p3", [](TedsWriter& w) { t32(w, 0, 3); }},
        {"T33 m7 Single", [](TedsWriter& w) { t33(w, 7, 2); }},
        {"T33 m8 11 bit", [](TedsWriter& w) { t33(w, 8, 0); }},
        {"T34 in p1", [](TedsWriter& w) { t34(w, 2, 1); }},
        {"T35", [](TedsWriter& w) { t35(w); }},
        {"T36", [](TedsWriter& w) { t36(w); }},
        {"T37 r3 c7", [](TedsWriter& w) { t37(w, 3, 7); }},
        {"T38", [](TedsWriter& w) { t38(w); }},
        {"T39 m40 p1", [](TedsWriter& w) { t39(w, 40, 1); }},
    };
    return t;
}

enum class Cal { Table, Curve, Response };
struct CalForm {
    Cal kind;
    int count;   // pairs, or segments for a curve
    int terms;   // curve terms per segment
    const char* file;  // the file of its fixed form ("" when it is no fixed form)
};

void writeCalibration(TedsWriter& w, const CalForm& c)
{
    if (c.kind == Cal::Table) calibrationTable(w, c.count);
    if (c.kind == Cal::Curve) calibrationCurve(w, c.count, c.terms);
    if (c.kind == Cal::Response) frequencyResponse(w, c.count);
}

class CalibrationFollows : public LibraryTest {};

TEST_F(CalibrationFollows, FixedFormsDecodeEveryEntry)
{
    const std::vector<CalForm> forms = {{Cal::Table, 5, 0, "IEEE_Calibration_Table.tdl"},
                                        {Cal::Curve, 1, 4, "IEEE_Calibration_Curve.tdl"},
                                        {Cal::Response, 5, 0, "IEEE_Calibration_Response.tdl"}};
    int checked = 0;
    for (const auto& td : transducers()) {
        for (const auto& form : forms) {
            for (int family : {device::FamilyDS2431, device::FamilyDS2433}) {
                TedsWriter w(chipBits(family), 31);
                basicTeds(w, listedManufacturerId());
                td.write(w);
                writeCalibration(w, form);
                const bool curve = form.kind == Cal::Curve;  // its fixed form shows no user text
                const std::string text = "Calibrated 2024-03-01 by lab 7";
                endSection(w, text);
                w.put(127, 7);
                if (w.pos() > chipBits(family)) continue;
                editor::TedsDocument doc;
                const std::string where = td.label + " + " + form.file + (family == device::FamilyDS2431 ? " on DS2431" : " on DS2433");
                const int t = show(doc, w.bits(), family);
                ASSERT_GE(t, 0) << where;
                EXPECT_EQ(tmpl(t).file, form.file) << where << ": matched " << tmpl(t).name;
                if (tmpl(t).file != form.file) continue;
                expectListing(doc, w, curve ? nullptr : &text, where);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 60);
}

TEST_F(CalibrationFollows, OtherCountsShowTheTransducerUnderTheFollowsTemplate)
{
    const std::vector<CalForm> others = {{Cal::Table, 3, 0, ""},    {Cal::Table, 6, 0, ""}, {Cal::Table, 1, 0, ""},
                                         {Cal::Curve, 1, 3, ""},    {Cal::Curve, 2, 4, ""}, {Cal::Curve, 1, 5, ""},
                                         {Cal::Response, 4, 0, ""}, {Cal::Response, 9, 0, ""}};
    int checked = 0;
    for (const auto& td : transducers()) {
        for (const auto& form : others) {
            for (int family : {device::FamilyDS2431, device::FamilyDS2433}) {
                TedsWriter w(chipBits(family), 57);
                basicTeds(w, listedManufacturerId());
                td.write(w);
                TedsWriter transducerOnly = w;
                writeCalibration(w, form);
                endSection(w, "x");
                if (w.pos() > chipBits(family)) continue;
                editor::TedsDocument doc;
                const std::string where = td.label + " + calibration " + std::to_string(static_cast<int>(form.kind)) +
                                          " count " + std::to_string(form.count) + "/" + std::to_string(form.terms);
                const int t = show(doc, w.bits(), family);
                ASSERT_GE(t, 0) << where;
                EXPECT_TRUE(contains(tmpl(t).name, "calibration template follows, not decoded"))
                    << where << ": matched " << tmpl(t).name;
                bool said = false;
                for (const auto& a : tmpl(t).abstractLines)
                    if (contains(a, "calibration template")) said = true;
                EXPECT_TRUE(said) << where << ": the abstract does not say so";
                expectListing(doc, transducerOnly, nullptr, where);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 150);
}

// An edit of a transducer field under a follows template, or under the curve form that
// shows no user text, keeps every bit it does not show: the calibration template, the
// end section and the user text after it.
TEST_F(CalibrationFollows, EditingKeepsWhatTheTemplateDoesNotShow)
{
    for (const CalForm& form : {CalForm{Cal::Table, 3, 0, ""}, CalForm{Cal::Curve, 1, 4, ""}, CalForm{Cal::Response, 7, 0, ""}}) {
        TedsWriter w(chipBits(device::FamilyDS2433), 11);
        basicTeds(w, listedManufacturerId());
        t33(w, 7, 2);
        writeCalibration(w, form);
        endSection(w, "user text after the calibration");
        w.put(127, 7);
        editor::TedsDocument doc;
        const int t = show(doc, w.bits(), device::FamilyDS2433);
        ASSERT_GE(t, 0);
        const int k = fieldOf(tmpl(t), "MEASID");
        ASSERT_GE(k, 0);
        doc.commitRow(k, "1234");
        ASSERT_EQ(doc.rows[k].value, "1234") << tmpl(t).name;
        const int from = tmpl(t).fields[k].bitAddress + tmpl(t).fields[k].bitCount;
        for (int b = from; b < chipBits(device::FamilyDS2433); ++b)
            ASSERT_EQ(doc.TedsBuf.Bits[b], w.bits()[b]) << tmpl(t).name << ": bit " << b << " changed by the edit";
        // And the TEDS still reads as before.
        editor::TedsDocument again;
        std::vector<bool> bits(doc.TedsBuf.Bits.begin(), doc.TedsBuf.Bits.begin() + chipBits(device::FamilyDS2433));
        EXPECT_EQ(show(again, bits, device::FamilyDS2433), t);
    }
}

// A fixed form in a memory too small for it: the transducer still shows (follows template).
TEST_F(CalibrationFollows, AFormThatDoesNotFitTheMemoryShowsTheTransducer)
{
    // T33 Single + a table of 5 points needs 523 bits; a DS2406 of 992 bits holds it, a
    // TEDS cut to 60 bytes does not.
    TedsWriter w(60 * 8, 3);
    basicTeds(w, listedManufacturerId());
    t33(w, 7, 2);
    TedsWriter transducerOnly = w;
    calibrationTable(w, 5);
    editor::TedsDocument doc;
    const int t = show(doc, w.bits(), device::FamilyDS2431);
    ASSERT_GE(t, 0);
    EXPECT_TRUE(contains(tmpl(t).name, "calibration template follows")) << tmpl(t).name;
    expectListing(doc, transducerOnly, nullptr, "T33 + table in 60 bytes");
}

// The Basic TEDS is the last resort: templates whose tables are not public, measurand
// codes Table M does not list, a selector other than 0.
TEST_F(CalibrationFollows, BasicTedsOnlyWhenNothingElseMatches)
{
    const int basic = templateLast();
    ASSERT_TRUE(contains(tmpl(basic).name, "Basic TEDS"));
    struct Odd {
        std::string label;
        std::function<void(TedsWriter&)> write;
    };
    const std::vector<Odd> odd = {
        {"template 26", [](TedsWriter& w) { templateHead(w, 26); w.put(0x155, 9); }},
        {"template 28", [](TedsWriter& w) { templateHead(w, 28); }},
        {"template 43", [](TedsWriter& w) { templateHead(w, 43); }},
        {"template 40 alone", [](TedsWriter& w) { templateHead(w, 40); w.put(1, 1); w.put(5, 7); }},
        {"template 99", [](TedsWriter& w) { templateHead(w, 99); }},
        {"T30 measurand 46", [](TedsWriter& w) { t30(w, 46, 2, 1); endSection(w, ""); }},
        {"T33 measurand 63", [](TedsWriter& w) { t33(w, 63, 2); endSection(w, ""); }},
        {"T34 measurand 5", [](TedsWriter& w) { t34(w, 5, 0); endSection(w, ""); }},
        {"T33 precision 3", [](TedsWriter& w) { t33(w, 7, 3); endSection(w, ""); }},
    };
    for (const auto& o : odd) {
        TedsWriter w(chipBits(device::FamilyDS2431), 9);
        basicTeds(w, listedManufacturerId());
        o.write(w);
        editor::TedsDocument doc;
        const int t = show(doc, w.bits(), device::FamilyDS2431);
        EXPECT_EQ(t, basic) << o.label << ": matched " << (t >= 0 ? tmpl(t).name : std::string("nothing"));
    }
    // Every standard path and every follows template matches before it: checked by the
    // other tests; here a TEDS with selector 1 after the basic TEDS matches nothing at all
    // rather than a template that reads a template id there.
    TedsWriter w(chipBits(device::FamilyDS2431), 9);
    basicTeds(w, listedManufacturerId());
    w.put(1, 2);
    w.put(33, 8);
    editor::TedsDocument doc;
    const int t = show(doc, w.bits(), device::FamilyDS2431);
    EXPECT_TRUE(t < 0 || t == basic) << tmpl(t).name;
}

} // namespace
} // namespace library_attack
