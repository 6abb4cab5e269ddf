// A request file carried out by the request engine on an empty network: every line kind,
// the node-list commands on a generator list, the channel selection with its resume run,
// and hostile files: the request file a FIFO, a link to a device or too large, the
// response file a directory or a link out of the working folder. A run always ends with
// an answer (or, for a wrong version line, none) and the ack file gone; a suspended run
// leaves both to its resume run; nothing outside the working folder is written.

#include "tests/fuzz/fuzzsupport.h"
#include "tests/support/quietserverhost.h"
#include "tests/support/quietserverview.h"

#include "core/base/message.h"
#include "server/engine/requestengine.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"

#include <fstream>
#include <stdexcept>
#include <iterator>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

struct Host final : testing_support::QuietServerHost {
    bool amplifierLinkChosen() override { return amplifier; }
    std::string ActualNodeID() override { return actual; }
    void setActualNodeID(const std::string& id) override { actual = id; }
    void ClearNodeList() override { ids.clear(); }
    void addNode(const std::string& id) override { ids.push_back(id); }
    std::vector<std::string> nodeListIds() override { return ids; }
    bool Select_Channel(int n) override { return n >= 1 && n <= 4; }

    bool amplifier = false;
    std::string actual;
    std::vector<std::string> ids;
};

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path& folder = fuzz::begin();
    shell::resetNodesState();
    auto& q = shell::jobQueue();
    q.reset();
    q.StartJobQue();
    const fs::path work = folder / "work";
    std::error_code ec;
    fs::remove_all(work, ec);
    fs::create_directories(work);

    // The first byte picks the interface (bit 0), what the request file is (bits 1, 2:
    // a file, a FIFO, a link to /dev/zero, the request repeated past the bound) and what
    // the response file is (bit 3: a directory, bit 6: a link out of the folder); the
    // rest is the request.
    const std::string input = fuzz::bytes(data, size);
    const int kind = input.empty() ? 0 : static_cast<unsigned char>(input[0]);
    Host host;
    host.amplifier = (kind & 1) != 0;
    testing_support::QuietServerView view;
    server::RequestEngine engine(host, view);
    engine.WorkingDir = work.string() + "/";
    engine.loaded = true;
    engine.T_block_Server = 1;
    engine.nowText = [] { return std::string("NOW"); };
    core::setMessageSuppressor(&engine);
    const std::string request = input.empty() ? std::string() : input.substr(1);
    const fs::path req = engine.file(server::kRequestFile);
    switch ((kind >> 1) & 3) {
    case 0:
        writeBytes(req, request);
        break;
    case 1:
        ::mkfifo(req.c_str(), 0644);
        break;
    case 2:
        fs::create_symlink("/dev/zero", req, ec);
        break;
    default: {
        std::string large;
        while (large.size() <= server::kRequestFileMax)
            large += request.empty() ? std::string("\r\n") : request;
        writeBytes(req, large);
        break;
    }
    }
    const fs::path outside = folder / "outside.txt";
    writeBytes(outside, "outside\r\n");
    if ((kind & 8) != 0)
        fs::create_directories(engine.file(server::kResponseFile) / "inside");
    else if ((kind & 0x40) != 0)
        fs::create_symlink(outside, engine.file(server::kResponseFile), ec);
    writeBytes(engine.file(server::kAckFile), "ack\r\n");

    try {
        engine.processRequestfile(false);
        const bool suspended = q.JobQueLast() >= 0;
        if (suspended) {
            fuzz::check(host.amplifier, "only the amplifier link suspends a request");
            fuzz::check(fs::exists(engine.file(server::kAckFile)), "a suspended request keeps its ack file");
            q.reset();
            q.StartJobQue();
            engine.processRequestfile(true);
            fuzz::check(q.JobQueLast() < 0, "the resume run never suspends again");
        }
    } catch (const core::ProgramEnd&) {
        fuzz::check(false, "EXIT ends the program through the host, never by throwing");
    }
    fuzz::check(!fs::exists(engine.file(server::kAckFile)), "every run ends with the ack file gone");
    std::ifstream back(outside, std::ios::binary);
    std::string kept((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>());
    fuzz::check(kept == "outside\r\n", "nothing outside the working folder is written");
    fuzz::check(fs::symlink_status(engine.file(server::kResponseFile)).type() != fs::file_type::symlink,
                "the response is never written through a link");
    core::setMessageSuppressor(nullptr);
    q.reset();
    return 0;
}
