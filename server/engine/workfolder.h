#pragma once
// The working directory as the request server touches it: one handle on the folder, and
// every file named relative to it. The request file is read only when it is a regular
// file no larger than a bound (no FIFO that blocks, no link to a device that never
// ends). A file is written whole through a temporary file created in the folder (never
// through a link: created new, not followed) and renamed over its name, so a planted
// link is replaced, not written through, and no reader sees half of a file.

#include <filesystem>
#include <string>

namespace server {

class WorkFolder {
public:
    WorkFolder() = default;
    ~WorkFolder() { close(); }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // Opens dir (the one open before is closed); false when it is no directory.
    bool open(const std::filesystem::path& dir);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const std::filesystem::path& path() const { return path_; }

    // name is there, as whatever it is (a link counts, followed or not).
    bool exists(const char* name) const;
    // Removes name (a link itself, never what it names); true when it is not there now.
    // A directory is not removed.
    bool remove(const char* name) const;

    enum class Read { Ok, Missing, NotRegular, TooLarge, Failed };
    // The bytes of name when it is (or names) a regular file of at most limit bytes.
    Read readRegular(const char* name, std::size_t limit, std::string& bytes) const;

    enum class Write { Ok, FolderNotWritable, NameTaken };
    // bytes as the whole of name: written to a new temporary file in the folder, flushed
    // to the disk, then renamed over name. NameTaken: name is a directory (or cannot be
    // replaced otherwise); FolderNotWritable: no file can be created in the folder.
    Write writeAtomic(const char* name, const std::string& bytes) const;
    // Whether writeAtomic(name, ...) can succeed now (a temporary file is made and removed).
    Write canWrite(const char* name) const;
    // Removes temporary files a cut-off write left.
    void removeLeftovers() const;

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

} // namespace server
