// Platform layer: the file calls the platform's modules share. Every call
// that the system may interrupt with a signal (EINTR) is retried here, so the
// modules never repeat those loops.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace hal_file {

// Owns a file descriptor; closes it when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; false when the close reports an error.
    bool close();

private:
    int fd_;
};

// openat(2), retried while interrupted; -1 with errno on failure. O_CLOEXEC is
// always added.
int open(int at, const char* path, int flags, mode_t mode = 0);
// A folder, read-only, not following a link; -1 with errno on failure.
int openDirectory(int at, const char* path);
// Writes all size bytes; false on an error.
bool writeAll(int fd, const void* data, size_t size);
// Reads exactly size bytes; false on an error or an early end.
bool readAll(int fd, void* data, size_t size);
// Reads from offset until size bytes or the end of the file: the bytes read,
// -1 on an error.
int64_t readAt(int fd, void* data, size_t size, int64_t offset);
// fdatasync (dataOnly) or fsync; false on an error.
bool flush(int fd, bool dataOnly);

// Opens a regular file for reading, following links: HAL_NOT_FOUND when it
// cannot be opened or is no regular file, else HAL_OK with *fd set.
int openRegular(const char* path, int* fd);
// The rest of an open regular file from its start into a new HAL_malloc
// block (free with HAL_free; never null on success, also for 0 bytes).
// HAL_OUT_OF_MEMORY for a file above 2^31 - 1 bytes or no memory,
// HAL_IO_ERROR for a failed read. A file that shrank meanwhile gives the
// bytes it still had.
int readWhole(int fd, uint8_t** buffer, int32_t* size);

}  // namespace hal_file
