#include "server/engine/requestfiles.h"

#include "core/base/message.h"
#include "core/base/textfile.h"

namespace server {

WorkFolder& RequestFiles::folder()
{
    if (!folder_.isOpen() || folderPath_ != dir_) {
        folder_.open(dir_);
        folderPath_ = dir_;
    }
    return folder_;
}

// --- Before a request -------------------------------------------------------------------

RequestFiles::Start RequestFiles::prepare()
{
    // A fresh handle: the folder may have been made again since the last request.
    folderPath_.clear();
    auto& f = folder();
    switch (f.canWrite(kResponseFile)) {
    case WorkFolder::Write::Ok:
        break;
    case WorkFolder::Write::FolderNotWritable:
        // Nothing can be answered, nor the ack deleted: the request waits for the folder.
        if (!waitNoted_)
            log_.addLog("Error: no file can be written in the working directory, the request waits until one can");
        waitNoted_ = true;
        return Start::Wait;
    case WorkFolder::Write::NameTaken:
        log_.addLog("Error: TEDS_res.txt cannot be written (it is a directory), request not carried out");
        return Start::Refused;
    }
    waitNoted_ = false;
    // From here on no answer of the request before can be taken for this one's.
    if (!f.remove(kResponseFile)) {
        log_.addLog("Error: TEDS_res.txt of the request before cannot be removed, request not carried out");
        return Start::Refused;
    }
    responseLines_.clear();
    return Start::Ready;
}

WorkFolder::Read RequestFiles::readRequest(std::string& bytes)
{
    // Only a regular file of a request's size is read.
    const auto read = folder().readRegular(kRequestFile, kRequestFileMax, bytes);
    if (read == WorkFolder::Read::NotRegular)
        log_.addLog("Error: TEDS_req.txt is not a regular file, request not read");
    else if (read == WorkFolder::Read::TooLarge)
        log_.addLog("Error: TEDS_req.txt is larger than " + std::to_string(kRequestFileMax) + " bytes, request not read");
    return read;
}

// --- The response -------------------------------------------------------------------------

void RequestFiles::clearResponse()
{
    folder().remove(kResponseFile);
    responseLines_.clear();
}

void RequestFiles::WaitFileWritable(const fs::path& path, bool& ok)
{
    const std::string name = path.filename().string();
    for (int attempt = 1; attempt <= 4; ++attempt) {
        if (folder().writeAtomic(name.c_str(), "") == WorkFolder::Write::Ok) {
            if (name == kResponseFile)
                responseLines_.clear();
            ok = true;
            return;
        }
        core::Delay(1000);
    }
    ok = false;
}

WorkFolder::Write RequestFiles::commitResponse()
{
    return folder().writeAtomic(kResponseFile, core::joinCrLf(responseLines_));
}

void RequestFiles::WriteToRequestFile(const std::string& text, bool& ok)
{
    responseLines_.push_back(text);
    ok = commitResponse() == WorkFolder::Write::Ok;
    if (!ok)
        log_.addLog("Error writing file 'TEDS_res.txt'");
}

void RequestFiles::writeLogAsResponse(const std::string& log)
{
    responseLines_ = core::splitLines(log);
    folder().writeAtomic(kResponseFile, log);
}

bool RequestFiles::writeResponse(const std::vector<std::string>& lines)
{
    responseLines_ = lines;
    if (commitResponse() != WorkFolder::Write::Ok) {
        reportResponseError();
        return false;
    }
    return true;
}

void RequestFiles::reportResponseError()
{
    const std::string text = "Error writing TEDS_res.txt\r\n"
                             "Please report this fault to the maker's support, naming the request that failed.\r\n";
    log_.addLog(text);
    core::ShowMessage(text);
}

// --- The end of a request -----------------------------------------------------------------

void RequestFiles::endWith(std::optional<std::string> answer)
{
    ending_ = true;
    pendingAnswer_ = std::move(answer);
}

bool RequestFiles::completeEnd()
{
    if (!ending_)
        return true;
    auto& f = folder();
    if (pendingAnswer_) {
        if (f.writeAtomic(kResponseFile, *pendingAnswer_) == WorkFolder::Write::FolderNotWritable)
            return false;
        pendingAnswer_.reset();  // written, or TEDS_res.txt is a directory: no answer then
    }
    if (!f.remove(kAckFile))
        return false;
    ending_ = false;
    return true;
}

} // namespace server
