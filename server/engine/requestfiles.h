#pragma once
// The working folder's three files as a request uses them: TEDS_req.txt read whole (a
// regular file of a request's size only), TEDS_res.txt kept as lines and written whole
// at each change, and the end of a request: its answer written, then TEDS_ack.txt
// deleted, tried again at every poll while the folder refuses either.

#include "server/engine/activitylog.h"
#include "server/engine/workfolder.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace server {

namespace fs = std::filesystem;

inline constexpr const char* kRequestFile = "TEDS_req.txt";
inline constexpr const char* kAckFile = "TEDS_ack.txt";
inline constexpr const char* kResponseFile = "TEDS_res.txt";

// A request file is a few lines: a larger one is refused.
inline constexpr std::size_t kRequestFileMax = 16384;

class RequestFiles {
public:
    // dir: the working directory, read at every use (it follows the engine's); log: where
    // errors are written. Both kept by the caller.
    RequestFiles(const fs::path& dir, ActivityLog& log) : dir_(dir), log_(log) {}

    // The working folder, opened for the current directory.
    WorkFolder& folder();
    fs::path file(const char* name) const { return dir_ / name; }

    // --- Before a request -----------------------------------------------------------------
    enum class Start { Ready, Wait, Refused };
    // The response of the request before goes, and the new one must be writable. Wait:
    // no file can be made in the folder (the request waits, ack and all); Refused: the
    // request is not carried out (its end is still to be made, without an answer).
    Start prepare();
    // TEDS_req.txt read whole; any result but Ok is logged where it says why.
    WorkFolder::Read readRequest(std::string& bytes);

    // --- The response ---------------------------------------------------------------------
    // No response (the file removed, no lines).
    void clearResponse();
    // Creates or empties the file of the working folder that path names, up to four
    // attempts one second apart.
    void WaitFileWritable(const fs::path& path, bool& ok);
    // Appends one line to the response file.
    void WriteToRequestFile(const std::string& text, bool& ok);
    // Writes lines as the whole response file; false (after the error report) on failure.
    bool writeResponse(const std::vector<std::string>& lines);
    // The whole activity log as the response (errors ignored).
    void writeLogAsResponse(const std::string& log);

    // --- The end of a request ---------------------------------------------------------------
    // The request is to end with answer (none: no response is written) and its ack gone.
    void endWith(std::optional<std::string> answer);
    // Makes what endWith asked for, as far as the folder lets it; true when nothing of it
    // is left (or nothing was asked).
    bool completeEnd();

private:
    WorkFolder::Write commitResponse();
    void reportResponseError();

    const fs::path& dir_;
    ActivityLog& log_;
    WorkFolder folder_;
    fs::path folderPath_;
    std::vector<std::string> responseLines_;  // what TEDS_res.txt holds, as this server wrote it
    bool ending_ = false;                     // an end asked for and not made yet
    std::optional<std::string> pendingAnswer_;
    bool waitNoted_ = false;                  // the wait for a writable folder was logged
};

} // namespace server
