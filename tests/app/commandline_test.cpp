// The program binary run as a user runs it: a copy of it in a fresh program folder.

#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace fs = std::filesystem;
using testing_support::readAll;
using testing_support::TempDir;

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    TempDir program, profile, src;

    void SetUp() override
    {
        fs::copy_file(testing_support::programBinary(), program / "tedsmith");
        for (const char* f : {"TagList.xdl", "ManufacturerList.xdl", "IEEE_Templates.tdl"})
            fs::copy_file(testing_support::dataDir() / f, program / f);
        for (const char* f : {"IEEE_Templates.hdl", "IEEE_Templates.ddl"})
            fs::copy_file(testing_support::dataDir() / f, src / f);
    }

    // Exit code of the program, its stderr in *err.
    int run(const std::string& args, std::string* err = nullptr)
    {
        const fs::path errFile = profile / "stderr.txt";
        const std::string cmd = "cd " + program.path().string() + " && AllUsersProfile='" + profile.path().string() +
                                "' TEDSMITH_NO_DIALOGS=1 QT_QPA_PLATFORM=offscreen ./tedsmith " + args + " 2>" + errFile.string();
        const int status = std::system(cmd.c_str());
        if (err)
            *err = readAll(errFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(CommandLineTest, CompilesDescriptionSourceAndEnds)
{
    std::string err;
    EXPECT_EQ(run("'" + (src / "IEEE_Templates.DDL").string() + "'", &err), 0) << err;
    const fs::path out = src / "IEEE_Templates.tdl";
    ASSERT_TRUE(fs::exists(out)) << err;
    // The library the program ships is this output plus its second validation line.
    const std::string compiled = readAll(out);
    const std::string shipped = readAll(testing_support::dataDir() / "IEEE_Templates.tdl");
    EXPECT_NE(compiled.find("\r\nValidation_keycode "), std::string::npos);
    EXPECT_TRUE(shipped.starts_with(compiled)) << "compiled output differs from the shipped library";
    EXPECT_NE(readAll(profile / "Morvelund" / "QT8061" / "QT8061_Inifile.txt").find("Version"), std::string::npos);
}

TEST_F(CommandLineTest, CompileWithoutSourceFails)
{
    fs::remove(src / "IEEE_Templates.hdl");
    fs::remove(src / "IEEE_Templates.ddl");
    EXPECT_NE(run("'" + (src / "IEEE_Templates.ddl").string() + "'"), 0);
    EXPECT_FALSE(fs::exists(src / "IEEE_Templates.tdl"));
}

TEST_F(CommandLineTest, MissingTagListEndsWithMessage)
{
    fs::remove(program / "TagList.xdl");
    std::string err;
    EXPECT_NE(run("", &err), 0);
    EXPECT_NE(err.find("TagList.xdl not found"), std::string::npos) << err;
    EXPECT_NE(err.find("Program will terminate"), std::string::npos);
}

TEST_F(CommandLineTest, NoTemplateFileEndsWithMessage)
{
    fs::remove(program / "IEEE_Templates.tdl");
    std::string err;
    EXPECT_NE(run("", &err), 0);
    EXPECT_NE(err.find("*.TDL not found"), std::string::npos) << err;
}

} // namespace
