#include "server/engine/workfolder.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace server {

namespace {

constexpr const char* kPartPrefix = ".TEDS_tmp.";
constexpr const char* kPartSuffix = ".part";

std::atomic<unsigned> g_partCounter{0};

std::string partName()
{
    return std::string(kPartPrefix) + std::to_string(::getpid()) + "." + std::to_string(++g_partCounter) + kPartSuffix;
}

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool WorkFolder::open(const std::filesystem::path& dir)
{
    close();
    fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    path_ = dir;
    return fd_ >= 0;
}

void WorkFolder::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool WorkFolder::exists(const char* name) const
{
    struct stat st{};
    return fd_ >= 0 && ::fstatat(fd_, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool WorkFolder::remove(const char* name) const
{
    if (fd_ < 0)
        return false;
    return ::unlinkat(fd_, name, 0) == 0 || errno == ENOENT;
}

WorkFolder::Read WorkFolder::readRegular(const char* name, std::size_t limit, std::string& bytes) const
{
    bytes.clear();
    if (fd_ < 0)
        return Read::Failed;
    // Looked at before it is opened: opening a device or a FIFO can block or act.
    struct stat st{};
    if (::fstatat(fd_, name, &st, 0) != 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    if (!S_ISREG(st.st_mode))
        return Read::NotRegular;
    if (static_cast<std::size_t>(st.st_size) > limit)
        return Read::TooLarge;
    const int fd = ::openat(fd_, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Read::Missing : Read::Failed;
    // It may have been swapped since: judged again on what was opened.
    Read result = Read::Ok;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result = Read::NotRegular;
    } else {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result = Read::Failed;
                break;
            }
            if (n == 0)
                break;
            bytes.append(buf, static_cast<std::size_t>(n));
            if (bytes.size() > limit) {
                result = Read::TooLarge;
                break;
            }
        }
    }
    ::close(fd);
    if (result != Read::Ok)
        bytes.clear();
    return result;
}

WorkFolder::Write WorkFolder::writeAtomic(const char* name, const std::string& bytes) const
{
    if (fd_ < 0)
        return Write::FolderNotWritable;
    struct stat st{};
    if (::fstatat(fd_, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
        return Write::NameTaken;
    const std::string part = partName();
    const int fd = ::openat(fd_, part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return Write::FolderNotWritable;
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlinkat(fd_, part.c_str(), 0);
        return Write::FolderNotWritable;
    }
    if (::renameat(fd_, part.c_str(), fd_, name) != 0) {
        const int e = errno;
        ::unlinkat(fd_, part.c_str(), 0);
        return (e == EISDIR || e == ENOTEMPTY || e == EEXIST || e == EBUSY) ? Write::NameTaken
                                                                             : Write::FolderNotWritable;
    }
    return Write::Ok;
}

WorkFolder::Write WorkFolder::canWrite(const char* name) const
{
    if (fd_ < 0)
        return Write::FolderNotWritable;
    struct stat st{};
    if (::fstatat(fd_, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
        return Write::NameTaken;
    const std::string part = partName();
    const int fd = ::openat(fd_, part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return Write::FolderNotWritable;
    ::close(fd);
    ::unlinkat(fd_, part.c_str(), 0);
    return Write::Ok;
}

void WorkFolder::removeLeftovers() const
{
    if (fd_ < 0)
        return;
    const int dup = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (dup < 0)
        return;
    DIR* d = ::fdopendir(dup);
    if (!d) {
        ::close(dup);
        return;
    }
    ::rewinddir(d);
    const std::size_t prefix = std::strlen(kPartPrefix), suffix = std::strlen(kPartSuffix);
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n.size() > prefix + suffix && n.compare(0, prefix, kPartPrefix) == 0 &&
            n.compare(n.size() - suffix, suffix, kPartSuffix) == 0)
            ::unlinkat(fd_, n.c_str(), 0);
    }
    ::closedir(d);
}

} // namespace server
