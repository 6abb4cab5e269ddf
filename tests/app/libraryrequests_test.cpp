// The real program with its whole template library (every shipped .tdl) serving
// requests on a simulated network: it starts without a message, and for a template of
// every standard template id an empty TEDS on a DS2431 and on a DS2433 takes a user
// text of the whole rest of the memory, written, read back and listed whole; a text one
// character over or with a letter 7 bits cannot hold is refused and nothing is written.

#include "tests/app/serverprogram.h"
#include "tests/editor/library/shippedtemplates.h"
#include "tests/support/requestclient.h"
#include "tests/support/virtualservices.h"

#include <chrono>
#include <fstream>

namespace {

using namespace std::chrono_literals;
using library_attack::contains;
using library_attack::templates;
using library_attack::templateLast;
using testing_support::RequestClient;

class LibraryRequests : public testing_support::ServerProgram {
protected:
    static void SetUpTestSuite()
    {
        testing_support::VirtualServices vs(false);
        library_attack::loadShippedLibrary();
    }
    void SetUp() override
    {
        prepare("Dallas DS9097U");
        namespace fs = std::filesystem;
        for (const auto& f : library_attack::tdlFiles(testing_support::dataDir()))
            if (!fs::exists(program / f)) fs::copy_file(testing_support::dataDir() / f, program / f);
        std::ofstream(profile / "net.txt") << "node 2D:00000000A001\nnode 23:00000000A002\n";
        start({{"TEDSMITH_SIMNET", (profile / "net.txt").string()}});
        ASSERT_TRUE(client.waitUntilServing(60s)) << errors();
    }
    std::vector<std::string> request(const std::vector<std::string>& lines)
    {
        client.send(RequestClient::requestText(lines));
        EXPECT_TRUE(client.waitForAnswer(60s)) << errors();
        return client.responseLines();
    }
    // The first standard template of a template id that fits bits.
    static int standardTemplate(int id, int bits)
    {
        for (int i = 0; i <= templateLast(); ++i) {
            const auto& t = templates()[i];
            if (t.file != "IEEE_Templates.tdl" || contains(t.name, "follows") || t.selectorLast < 1) continue;
            if (t.selectors[1].bitAddress == 66 && t.selectors[1].match == id && t.UTIDT >= 2 && t.lengthBits <= bits)
                return i;
        }
        return -1;
    }
    static std::string userValue(const std::vector<std::string>& lines)
    {
        for (const auto& l : lines)
            if (library_attack::upper(l).rfind("%USERDATA, ", 0) == 0) {
                const auto q = l.find("\", \"");
                return q == std::string::npos ? "<bad line>" : l.substr(q + 4, l.size() - q - 5);
            }
        return "<no user text line>";
    }
    RequestClient client{work.path()};
};

TEST_F(LibraryRequests, StartsWithoutAMessage)
{
    // Nothing but Qt's own notes on stderr: no message of the program.
    EXPECT_EQ(errors().find("[message]"), std::string::npos) << errors();
}

TEST_F(LibraryRequests, EveryStandardTemplateIdTakesAFullLengthUserText)
{
    for (int family : {45, 35}) {
        const int bits = family == 45 ? 992 : 496 * 8;
        for (int id : {25, 27, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39}) {
            const int t = standardTemplate(id, bits);
            ASSERT_GE(t, 0) << id;
            const auto& tr = templates()[t];
            const int room = (bits - tr.fields[tr.fieldLast].bitAddress) / 7;
            std::string text;
            for (int i = 0; i < room; ++i) text += static_cast<char>('a' + (i * 5 + id) % 26);
            const std::string where = tr.name + " on family " + std::to_string(family);
            const auto written = request({"FAMILY " + std::to_string(family), "UTID " + tr.UTID.text(),
                                          "%UserData=\"" + text + "\"", "WRITETEDS"});
            ASSERT_FALSE(written.empty()) << where;
            EXPECT_EQ(written.back(), "OK") << where;
            const auto listed = request({"FAMILY " + std::to_string(family), "LISTFULLTEDS"});
            bool titled = false;
            for (const auto& l : listed)
                if (l == "Title " + tr.name) titled = true;
            EXPECT_TRUE(titled) << where;
            EXPECT_EQ(userValue(listed), text) << where;
        }
    }
}

// A user text longer than the room, or with letters a 7-bit text cannot hold, is refused
// and the node keeps what it held.
TEST_F(LibraryRequests, ATextThatDoesNotFitIsRefusedAndNothingWritten)
{
    const int t = standardTemplate(33, 992);
    const auto& tr = templates()[t];
    const int room = (992 - tr.fields[tr.fieldLast].bitAddress) / 7;
    ASSERT_EQ(request({"FAMILY 45", "UTID " + tr.UTID.text(), "%UserData=\"kept\"", "WRITETEDS"}).back(), "OK");
    const std::vector<std::string> bad = {std::string(static_cast<std::size_t>(room + 1), 'z'),
                                          "M\xFCller, K\xF6ln"};
    for (const auto& text : bad) {
        const auto answer = request({"FAMILY 45", "%UserData=\"" + text + "\"", "WRITETEDS"});
        ASSERT_FALSE(answer.empty());
        EXPECT_NE(answer.back(), "OK") << text;
        EXPECT_EQ(userValue(request({"FAMILY 45", "LISTFULLTEDS"})), "kept") << text;
    }
}

} // namespace
