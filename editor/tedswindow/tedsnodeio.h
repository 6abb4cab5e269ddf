#pragma once
// The node I/O of a TEDS window: a read with retries (the analog switch of the demo
// adaptor set around it, fewer tries for paged memories or a hidden main window), the
// read that shows its result, the write from the Node menu and from a request (with why
// nothing or how little was written), the erase, and the request's Delete_memory. A
// write or erase that the driver verified drops the window's record, so the next scan
// finds the node as new.

#include <string>

namespace editor {

class TedsF;

class TedsNodeIo {
public:
    explicit TedsNodeIo(TedsF& window) : w_(window) {}
    TedsNodeIo(const TedsNodeIo&) = delete;
    TedsNodeIo& operator=(const TedsNodeIo&) = delete;

    // Runs a job of the window (TedsJob).
    void runJob(int job);
    // Reads until the node answers with a good TEDS or the tries are used up.
    void readWithRetry(bool forceRomRead);
    // Reads, then shows the TEDS, the raw view, or why there is none.
    void readAndShow(bool forceRomRead);
    // One read, its state told in a message.
    void showBufferState();
    // Encodes the edits and writes them; a failed write keeps them for another try.
    void writeFromMenu();
    // *why (when given) says why not: the field whose value does not fit (in server mode
    // nothing is then written), or how far a failed write got.
    bool writeForRequest(std::string* why);
    // Fills the memory with FFh.
    void erase();
    // The request's erase of the node of its family; every record is dropped after it.
    bool deleteForRequest();
    // Writes a counting pattern (Debug).
    void debugWrite();

private:
    void readOnce(bool forceRomRead);
    void afterWriteOrErase();

    TedsF& w_;
};

} // namespace editor
