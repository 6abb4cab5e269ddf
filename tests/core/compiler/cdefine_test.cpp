#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/compiler/cdefine.h"
#include "core/state/corelayer.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/validation/validation.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

using testing_support::readAll;

namespace {

std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

class CompilerTest : public ::testing::Test {
protected:
    testing_support::FreshState<core::resetCoreLayer> fresh;

    // Writes name.hdl / name.ddl (when given) and expands them; returns the .tdl text.
    std::string expand(const char* hdl, const char* ddl, bool* ok = nullptr)
    {
        if (hdl)
            dir.write("src.hdl", crlf(hdl));
        if (ddl)
            dir.write("src.ddl", crlf(ddl));
        core::cDefine c;
        const bool r = c.ExpandFiles(dir / "src");
        if (ok)
            *ok = r;
        return readAll(dir / "src.tdl");
    }

    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(CompilerTest, TabIndentedCallGetsTheCallersTabs)
{
    const auto out = expand("define hdr\nfirst line\nsecond line\nenddefine\n", "before\n\t\thdr\nafter\n");
    EXPECT_EQ(out, crlf("before\n\t\tfirst line\n\t\tsecond line\nafter\n"));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompilerTest, NestedMacrosExpandInPlaceWithTheirOwnTabs)
{
    const auto out = expand("DEFINE  Inner Part\ninner\nENDDEFINE\ndefine outer\nA\n\tinnerpart\nB\nenddefine\n",
                            "\touter\n");
    EXPECT_EQ(out, crlf("\tA\n\tinner\n\tB\n"));
}

TEST_F(CompilerTest, HeaderLinesThatAreNoDefinesStayOut)
{
    const auto out = expand("* header comment\nloose line\ndefine m\nbody\nenddefine\nm\n", "text\n");
    EXPECT_EQ(out, crlf("body\ntext\n"));  // a call in the header is written
}

TEST_F(CompilerTest, FirstOfTwoDefinesWins)
{
    const auto out = expand("define m\none\nenddefine\ndefine m\ntwo\nenddefine\n", "m\n");
    EXPECT_EQ(out, crlf("one\n"));
}

TEST_F(CompilerTest, LinesThatAreNoCallsAreCopied)
{
    const auto out = expand(nullptr, "early\ndefine early\nx\nenddefine\n  early\nEARLY\n\n");
    // A call before its define and a blank-indented line are copied; the case of a call does not matter.
    EXPECT_EQ(out, crlf("early\n  early\nx\n\n"));
}

TEST_F(CompilerTest, MacroThatCallsItselfIsReported)
{
    dir.write("src.tdl", "old\r\n");
    bool ok = true;
    const auto out = expand("define a\nb\nenddefine\ndefine b\nx\na\nenddefine\n", "line\na\n", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(out, "old\r\n");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Error in description file: " + (dir / "src.ddl").string() + " near line : 2\r\na\r\nmacro a calls itself");
}

TEST_F(CompilerTest, DefineWithoutEnddefineIsReported)
{
    bool ok = true;
    expand(nullptr, "x\ndefine open\nbody\nmore\n", &ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "src.tdl"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error in description file: " + (dir / "src.ddl").string() +
                                       " near line : 2\r\ndefine open\r\ndefine open has no enddefine line");
}

TEST_F(CompilerTest, TabsInsideACallAreReported)
{
    bool ok = true;
    expand("define mymacro\nx\nenddefine\n", "\tmy\tmacro\n", &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].prompt.find("tab characters inside the call of macro mymacro"), std::string::npos);
}

// Each macro calls the previous one twice: 30 of them would make 2^30 lines.
TEST_F(CompilerTest, ExponentialExpansionIsReportedWithFileAndLine)
{
    std::string hdl = "define m0\nline\nenddefine\n";
    for (int i = 1; i <= 30; ++i)
        hdl += "define m" + std::to_string(i) + "\nm" + std::to_string(i - 1) + "\nm" + std::to_string(i - 1) + "\nenddefine\n";
    dir.write("src.tdl", "old\r\n");
    bool ok = true;
    const auto out = expand(hdl.c_str(), "first\nm30\n", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(out, "old\r\n");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error in description file: " + (dir / "src.ddl").string() +
                                       " near line : 2\r\nm30\r\nmacro expansion too large: output over 200000 lines or 8 MB");
}

// Macros that write no lines: the output bound never comes near, the call bound stops
// 2^41 calls after a million.
TEST_F(CompilerTest, ExponentialExpansionWithoutOutputIsReported)
{
    std::string hdl = "define m0\nenddefine\n";
    for (int i = 1; i <= 40; ++i)
        hdl += "define m" + std::to_string(i) + "\nm" + std::to_string(i - 1) + "\nm" + std::to_string(i - 1) + "\nenddefine\n";
    dir.write("src.tdl", "old\r\n");
    bool ok = true;
    const auto out = expand(hdl.c_str(), "TEMPLATE X\nm40\nENDTEMPLATE\n", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(out, "old\r\n");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error in description file: " + (dir / "src.ddl").string() +
                                       " near line : 2\r\nm40\r\nmacro expansion too large: more than 1000000 macro calls");
}

// Exactly the bound of calls compiles; one call more does not.
TEST_F(CompilerTest, CallBoundIsExact)
{
    static_assert(core::cDefine::kMaxCalls == 1000000);
    // A call of "many" is 1000 calls: itself and 999 of "none".
    std::string hdl = "define none\nenddefine\ndefine many\n";
    for (int i = 0; i < 999; ++i)
        hdl += "none\n";
    hdl += "enddefine\n";
    std::string ddl = "first\n";
    for (int i = 0; i < 1000; ++i)
        ddl += "many\n";
    ddl += "last\n";
    bool ok = false;
    EXPECT_EQ(expand(hdl.c_str(), ddl.c_str(), &ok), "first\r\nlast\r\n");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(box.shown.empty());
    ok = true;
    expand(hdl.c_str(), (ddl + "none\n").c_str(), &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].prompt.find("near line : 1003\r\nnone\r\nmacro expansion too large: more than 1000000 macro calls"),
              std::string::npos);
}

TEST_F(CompilerTest, NestingDeeperThanTheBoundIsReported)
{
    const int depth = static_cast<int>(core::cDefine::kMaxDepth);
    auto chain = [](int n) {
        std::string hdl = "define d0\nleaf\nenddefine\n";
        for (int i = 1; i < n; ++i)
            hdl += "define d" + std::to_string(i) + "\nd" + std::to_string(i - 1) + "\nenddefine\n";
        return hdl;
    };
    bool ok = false;
    EXPECT_EQ(expand(chain(depth).c_str(), ("d" + std::to_string(depth - 1) + "\n").c_str(), &ok), "leaf\r\n");
    EXPECT_TRUE(ok);
    ok = true;
    expand(chain(depth + 1).c_str(), ("d" + std::to_string(depth) + "\n").c_str(), &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].prompt.find("near line : 1\r\nd" + std::to_string(depth) + "\r\nmacro expansion too large"),
              std::string::npos);
}

TEST_F(CompilerTest, NoSourceWritesNothing)
{
    core::cDefine c;
    EXPECT_FALSE(c.ExpandFiles(dir / "none"));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.tdl"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "No description file found: " + (dir / "none.hdl").string() + "; " + (dir / "none.ddl").string());
    EXPECT_FALSE(core::CompileDescription(dir / "none"));
}

TEST_F(CompilerTest, FailedWriteIsReportedAndLeavesNoTemporaryFile)
{
    // A folder in the way of src.tdl cannot be replaced by the compiled file.
    std::filesystem::create_directory(dir / "src.tdl");
    dir.write("src.tdl/keep", "x");
    bool ok = true;
    expand(nullptr, "line\n", &ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Error writing file: " + (dir / "src.tdl").string() + "\r\n", 0), 0u)
        << box.shown[0].prompt;
    EXPECT_EQ(readAll(dir / "src.tdl" / "keep"), "x");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 2);  // src.ddl and the folder
    box.clear();
    EXPECT_FALSE(core::CompileDescription(dir / "src"));
}

TEST_F(CompilerTest, DefinesAreRecorded)
{
    dir.write("src.hdl", crlf("define Two Words\nl1\nl2\nenddefine\n"));
    core::cDefine c;
    ASSERT_TRUE(c.ExpandFiles(dir / "src"));
    ASSERT_EQ(c.defines().size(), 1u);
    EXPECT_EQ(c.defines()[0].name, "twowords");
    EXPECT_EQ(c.defines()[0].count, 2);
    EXPECT_EQ(readAll(dir / "src.tdl"), "");
}

TEST_F(CompilerTest, CompileWritesUtidAndKeycodeLines)
{
    dir.write("src.hdl", crlf("define head\nUTIDT 2\nSELECTOR 14,45\nenddefine\n"));
    dir.write("src.ddl", crlf("Description Language Version 0.2.6\nTEMPLATE T\nhead\nENDTEMPLATE\n"));
    ASSERT_TRUE(core::CompileDescription(dir / "src"));
    const auto text = readAll(dir / "src.tdl");
    EXPECT_EQ(text.rfind(crlf("Description Language Version 0.2.6\nTEMPLATE T\nUTID  722 \nUTIDT  2 \nUGID  722 \n"
                              "SELECTOR 14,45\nENDTEMPLATE\nValidation_keycode "),
                         0),
              0u)
        << text;
    EXPECT_TRUE(core::UpdateUTIDInFile(dir / "src.tdl", false));
    int score = 0;
    EXPECT_FALSE(core::ValidateFile(dir / "src.tdl", false, false, score));
    EXPECT_EQ(score, 2);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(CompilerTest, UpperCaseSourceNamesCompileAndTheirOutputLoads)
{
    // NAME.DDL with NAME.HDL beside it, as Windows users write them; tab-indented calls.
    dir.write("LIB.HDL", crlf("define head\nUTIDT 2\nSELECTOR 14,45\nenddefine\n"));
    dir.write("LIB.DDL", crlf("Description Language Version 0.2.6\nTEMPLATE T\n\thead\nENDTEMPLATE\n"));
    dir.write("LIB.TDL", "old");
    ASSERT_TRUE(core::CompileDescription(dir / "LIB"));
    const auto text = readAll(dir / "LIB.TDL");
    EXPECT_EQ(text.rfind(crlf("Description Language Version 0.2.6\nTEMPLATE T\nUTID  722 \nUTIDT  2 \nUGID  722 \n"
                              "\tSELECTOR 14,45\nENDTEMPLATE\n"),
                         0),
              0u)
        << text;
    EXPECT_FALSE(std::filesystem::exists(dir / "LIB.tdl"));  // the existing file was replaced, no second one
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
