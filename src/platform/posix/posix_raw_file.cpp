// The card's files on POSIX systems: descriptors with pread, pwrite and fsync.
#include "platform/files/raw_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dashcam {

void RawFile::Fail() {
    missing_ = errno == ENOENT || errno == ENOTDIR;
    link_ = false;
    error_ = std::strerror(errno);
}

RawFile RawFile::Open(const std::filesystem::path& path, Mode mode) {
    RawFile file;
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::ReadHere:
        flags |= O_RDONLY | O_NOFOLLOW;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR | O_NOFOLLOW;
        break;
    case Mode::CreateNew:
        // O_EXCL never follows a link either: a link at the name is an existing file.
        flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
        break;
    }
    // A FIFO at a card path must not hang the program.
    if (mode == Mode::Read || mode == Mode::ReadHere)
        flags |= O_NONBLOCK;
    do {
        file.handle_ = ::open(path.c_str(), flags, 0644);
    } while (file.handle_ < 0 && errno == EINTR);
    if (file.handle_ < 0) {
        const bool link = errno == ELOOP && (flags & O_NOFOLLOW) && !(flags & O_CREAT);
        file.Fail();
        if (link) {
            file.link_ = true;
            file.error_ = "it is a symbolic link";
        }
        return file;
    }
    file.open_ = true;
    return file;
}

bool RawFile::IsRegular() {
    struct stat st {};
    if (::fstat(handle_, &st) != 0) {
        Fail();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error_ = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        return false;
    }
    return true;
}

std::optional<std::uint64_t> RawFile::Size() {
    struct stat st {};
    if (::fstat(handle_, &st) != 0) {
        Fail();
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::size_t> RawFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
    std::size_t got = 0;
    while (got < out.size()) {
        ssize_t n = ::pread(handle_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            Fail();
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool RawFile::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(handle_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            Fail();
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool RawFile::Truncate(std::uint64_t size) {
    int rc;
    do {
        rc = ::ftruncate(handle_, static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        Fail();
    return rc == 0;
}

bool RawFile::Sync() {
    // A flush interrupted by a signal has not reached the medium; it is simply asked again.
    int rc;
    do {
        rc = ::fsync(handle_);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0)
        Fail();
    return rc == 0;
}

void RawFile::Close() {
    if (handle_ >= 0)
        ::close(handle_); // the data that matters has been flushed with Sync; Linux frees the descriptor anyway
    handle_ = -1;
    open_ = false;
}

bool RawFile::Remove(const std::filesystem::path& path, std::string* why) {
    int rc;
    do {
        rc = ::unlink(path.c_str());
    } while (rc != 0 && errno == EINTR);
    if (rc == 0 || errno == ENOENT)
        return true;
    if (why)
        *why = std::strerror(errno);
    return false;
}

void RawFile::SyncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // some file systems (FUSE drivers among them) cannot flush a folder; nothing more can be done
    ::close(fd);
}

std::optional<RawFile::Identity> RawFile::IdentityOf(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.empty() ? "." : path.c_str(), &st) != 0)
        return std::nullopt;
    return Identity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace dashcam
