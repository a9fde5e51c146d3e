// Platform layer: record stores as folders of files on Linux.
#include "hal_recordstore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "hal_file.h"
#include "hal_system.h"
#include "hal_thread.h"

using hal_recordstore::Metadata;

// What every handle open on one store folder shares.
struct StoreState {
    std::string folder;  // the store folder's path, without a trailing '/'
    // The rest is guarded by g_memory; the metadata and the ids change only
    // under the record-store lock as well.
    Metadata metadata;         // as on the disk
    std::vector<int32_t> ids;  // the records present, ascending
    int handles = 0;           // open handles on this state
    bool deleted = false;      // the store was deleted: writes fail
};

struct NativeRecordStore {
    // One for the handle itself, one for every operation running on it.
    std::atomic<int> uses{1};
    StoreState* state = nullptr;
};

namespace {

constexpr char kStorePrefix[] = "store-";
constexpr size_t kStorePrefixLength = sizeof kStorePrefix - 1;
constexpr char kRecordPrefix[] = "record-";
constexpr size_t kRecordPrefixLength = sizeof kRecordPrefix - 1;
constexpr char kRecordSuffix[] = ".bin";
constexpr char kMetadataName[] = "metadata.info";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr size_t kTemporarySuffixLength = sizeof kTemporarySuffix - 1;
constexpr char kTrashPrefix[] = ".deleted-";    // a store being deleted (never a store name)
constexpr char kAsidePrefix[] = ".replacing-";  // a store's records being replaced (never a store name)
constexpr int kMaxTrashDepth = 16;

// --- locks --------------------------------------------------------------------------

std::mutex& recordStoreLock() {
    static std::mutex lock;
    return lock;
}

// Guards the table of open stores and every state's in-memory values. Held
// only for a few instructions, never around another lock or a file call.
std::mutex g_memory;
std::map<std::string, StoreState*> g_stores;  // store folder -> state, while open

// Gives the runtime lock up for a blocking call when the calling thread holds
// it; takes it back afterwards and re-enters the runtime.
class RuntimeLockGap {
public:
    RuntimeLockGap() : depth_(HAL_releaseVMLockFully()) {}
    ~RuntimeLockGap() {
        if (depth_ > 0) {
            HAL_reacquireVMLock(depth_);
            HAL_hostEnter();
        }
    }
    RuntimeLockGap(const RuntimeLockGap&) = delete;
    RuntimeLockGap& operator=(const RuntimeLockGap&) = delete;

private:
    int depth_;
};

// Holds the record-store lock. When it is taken, it is waited for with the
// runtime lock released; the runtime lock is taken again after it.
class RecordStoreLocked {
public:
    RecordStoreLocked() {
        std::mutex& lock = recordStoreLock();
        if (lock.try_lock()) return;
        RuntimeLockGap gap;
        lock.lock();
    }
    ~RecordStoreLocked() { recordStoreLock().unlock(); }
    RecordStoreLocked(const RecordStoreLocked&) = delete;
    RecordStoreLocked& operator=(const RecordStoreLocked&) = delete;
};

void releaseHandle(NativeRecordStore* handle) {
    if (handle->uses.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    StoreState* state = handle->state;
    delete handle;
    std::lock_guard<std::mutex> memory(g_memory);
    if (--state->handles > 0) return;
    auto entry = g_stores.find(state->folder);
    if (entry != g_stores.end() && entry->second == state) g_stores.erase(entry);
    delete state;
}

// Keeps a handle alive for the length of one operation.
class HandleInUse {
public:
    explicit HandleInUse(NativeRecordStore* handle) : handle_(handle) {
        handle_->uses.fetch_add(1, std::memory_order_relaxed);
    }
    ~HandleInUse() { releaseHandle(handle_); }
    HandleInUse(const HandleInUse&) = delete;
    HandleInUse& operator=(const HandleInUse&) = delete;

private:
    NativeRecordStore* handle_;
};

// --- files ----------------------------------------------------------------------------

std::atomic<bool> g_actAsOwner{false};  // tests: the owner's permission bits hold for root too

// Whether reading the file or folder (following links) is refused by its
// owner's permission bits while tests act as its owner; errno EACCES then.
bool refusedToOwner(int at, const char* path, mode_t need) {
    if (!g_actAsOwner.load(std::memory_order_relaxed)) return false;
    struct stat info;
    if (::fstatat(at, path, &info, 0) != 0 || (info.st_mode & need) == need) return false;
    errno = EACCES;
    return true;
}

constexpr mode_t kReadFolder = S_IRUSR | S_IXUSR;

using FileDescriptor = hal_file::Descriptor;
using hal_file::openDirectory;
using hal_file::readAll;
using hal_file::writeAll;

// Flushes a folder's entries to the disk, with the runtime lock given up
// meanwhile.
bool flushFolder(int folder) {
    RuntimeLockGap gap;
    return hal_file::flush(folder, false);
}

// A file written under a temporary name in its folder, to be flushed and then
// renamed over the old file, so that a crash leaves the old or the new content.
// Removed again unless it was put in place.
class NewFile {
public:
    NewFile(int folder, std::string name)
        : folder_(folder), name_(std::move(name)), temporary_(name_ + kTemporarySuffix) {}
    ~NewFile() {
        if (!placed_) ::unlinkat(folder_, temporary_.c_str(), 0);
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool write(const void* data, size_t size) {
        ::unlinkat(folder_, temporary_.c_str(), 0);
        int fd = hal_file::open(folder_, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
        if (fd < 0) return false;
        file_ = std::make_unique<FileDescriptor>(fd);
        return writeAll(fd, static_cast<const uint8_t*>(data), size);
    }
    // Flushes the written data and closes the file; false on any failure.
    bool flush() {
        if (file_ == nullptr) return false;
        bool flushed = hal_file::flush(file_->get(), true);
        flushed = file_->close() && flushed;
        file_.reset();
        return flushed;
    }
    bool place() {
        placed_ = ::renameat(folder_, temporary_.c_str(), folder_, name_.c_str()) == 0;
        return placed_;
    }

private:
    int folder_;
    std::string name_;
    std::string temporary_;
    std::unique_ptr<FileDescriptor> file_;
    bool placed_ = false;
};

// Flushes new files together (one journal commit serves them all), with the
// runtime lock given up meanwhile.
bool flushAll(std::initializer_list<NewFile*> files) {
    RuntimeLockGap gap;
    bool flushed = true;
    for (NewFile* file : files) flushed = file->flush() && flushed;
    return flushed;
}

std::string recordFileName(int32_t id) { return kRecordPrefix + std::to_string(id) + kRecordSuffix; }

bool writeMetadataBytes(NewFile* file, const Metadata& metadata) {
    uint8_t bytes[hal_recordstore::kMetadataSize];
    hal_recordstore::encodeMetadata(metadata, bytes);
    return file->write(bytes, sizeof bytes);
}

// Replaces "metadata.info" (the folder itself is not flushed here).
bool writeMetadata(int folder, const Metadata& metadata) {
    NewFile file(folder, kMetadataName);
    return writeMetadataBytes(&file, metadata) && flushAll({&file}) && file.place();
}

// How reading "metadata.info" ended. Only a file that is not there counts as
// missing; one that is there but cannot be read leaves the store unreadable,
// so that nothing is written over it. A readable file whose bytes do not fit
// is put right from the records as a missing one is.
enum class MetadataRead { kRead, kMissing, kUnfit, kUnreadable };

MetadataRead readMetadata(int folder, Metadata* metadata) {
    if (refusedToOwner(folder, kMetadataName, S_IRUSR)) return MetadataRead::kUnreadable;
    int fd = hal_file::open(folder, kMetadataName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? MetadataRead::kMissing : MetadataRead::kUnreadable;
    FileDescriptor file(fd);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return MetadataRead::kUnreadable;
    if (info.st_size != off_t(hal_recordstore::kMetadataSize)) return MetadataRead::kUnfit;
    uint8_t bytes[hal_recordstore::kMetadataSize];
    if (!readAll(fd, bytes, sizeof bytes)) return MetadataRead::kUnreadable;
    return hal_recordstore::decodeMetadata(bytes, sizeof bytes, metadata) ? MetadataRead::kRead : MetadataRead::kUnfit;
}

bool endsWith(const char* text, const char* suffix, size_t suffixLength) {
    size_t length = std::strlen(text);
    return length >= suffixLength && std::memcmp(text + length - suffixLength, suffix, suffixLength) == 0;
}

// Whether a folder entry is of the given kind, not following links.
bool entryIs(int folder, const struct dirent* entry, mode_t kind) {
    if (entry->d_type != DT_UNKNOWN) {
        if (kind == S_IFDIR) return entry->d_type == DT_DIR;
        if (kind == S_IFREG) return entry->d_type == DT_REG;
        return false;
    }
    struct stat info;
    return ::fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && (info.st_mode & S_IFMT) == kind;
}

// Removes left-over temporary files of a store folder and collects its
// record ids, ascending. False when the folder cannot be read.
bool scanStoreFolder(int folder, std::vector<int32_t>* ids) {
    ids->clear();
    int walker = ::dup(folder);
    if (walker < 0) return false;
    DIR* dir = ::fdopendir(walker);
    if (dir == nullptr) {
        ::close(walker);
        return false;
    }
    while (const struct dirent* entry = ::readdir(dir)) {
        int32_t id;
        if (endsWith(entry->d_name, kTemporarySuffix, kTemporarySuffixLength)) {
            if (entryIs(folder, entry, S_IFREG)) ::unlinkat(folder, entry->d_name, 0);
        } else if (hal_recordstore::recordIdOfFile(entry->d_name, &id) && entryIs(folder, entry, S_IFREG)) {
            ids->push_back(id);
        }
    }
    ::closedir(dir);
    std::sort(ids->begin(), ids->end());
    return true;
}

// Removes a folder entry and, for a folder, everything in it; links are
// removed, never followed.
bool removeTree(int parent, const char* name, int depth) {
    struct stat info;
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    if (!S_ISDIR(info.st_mode)) return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;
    if (depth >= kMaxTrashDepth) return false;
    int fd = openDirectory(parent, name);
    if (fd < 0) return false;
    FileDescriptor folder(fd);
    std::vector<std::string> entries;
    int walker = ::dup(fd);
    if (walker < 0) return false;
    DIR* dir = ::fdopendir(walker);
    if (dir == nullptr) {
        ::close(walker);
        return false;
    }
    while (const struct dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    bool removed = true;
    for (const std::string& entry : entries) removed = removeTree(fd, entry.c_str(), depth + 1) && removed;
    folder.close();
    return removed && (::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT);
}

// Puts right what an interrupted replace of a store's records left: the
// folder set aside for it. While the store folder stands, the aside folder
// holds either new records not yet put in place or, after the exchange, the
// old ones: it goes. A store folder missing beside a complete aside folder
// (its metadata written last) is a replace cut short between its two renames
// where the file system cannot exchange folders: the new records go in place.
void settleAside(int database, const char* aside) {
    const char* entry = aside + (sizeof kAsidePrefix - 1);
    struct stat info;
    if (::fstatat(database, entry, &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) {
        std::string metadata = std::string(aside) + "/" + kMetadataName;
        if (::fstatat(database, metadata.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            ::renameat(database, aside, database, entry) == 0) {
            flushFolder(database);
            return;
        }
    }
    removeTree(database, aside, 0);
}

// Removes what interrupted deletes of stores left in the database folder and
// settles interrupted replaces.
void removeTrash(int database) {
    int walker = ::dup(database);
    if (walker < 0) return;
    DIR* dir = ::fdopendir(walker);
    if (dir == nullptr) {
        ::close(walker);
        return;
    }
    std::vector<std::string> trash;
    std::vector<std::string> asides;
    while (const struct dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, kTrashPrefix, sizeof kTrashPrefix - 1) == 0) trash.emplace_back(entry->d_name);
        if (std::strncmp(entry->d_name, kAsidePrefix, sizeof kAsidePrefix - 1) == 0) asides.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : trash) removeTree(database, name.c_str(), 0);
    for (const std::string& name : asides) settleAside(database, name.c_str());
}

// The store names of the database folder, ordered; false when it cannot be
// read.
bool listStores(std::vector<std::u16string>* names) {
    names->clear();
    const std::string database = hal_recordstore::databaseDirectory();
    int fd = openDirectory(AT_FDCWD, database.c_str());
    if (fd < 0) return false;
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return false;
    }
    std::u16string name;
    while (const struct dirent* entry = ::readdir(dir)) {
        if (hal_recordstore::storeNameOfFolder(entry->d_name, &name) && entryIs(fd, entry, S_IFDIR))
            names->push_back(name);
    }
    ::closedir(dir);
    std::sort(names->begin(), names->end());
    return true;
}

uint32_t nowMillis() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

int64_t recordSizeInFolder(int32_t id, void* context) {
    struct stat info;
    int folder = *static_cast<int*>(context);
    if (::fstatat(folder, recordFileName(id).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    return int64_t(info.st_size);
}

// Reads a store folder into a new state: left-over temporary files and an add
// that never committed are removed, and a metadata file that is missing or
// does not fit the records is written anew. 7 when the folder or a metadata
// file that is there cannot be read; nothing is changed then.
int loadStore(StoreState* state) {
    if (refusedToOwner(AT_FDCWD, state->folder.c_str(), kReadFolder)) return HAL_IO_ERROR;
    int fd = openDirectory(AT_FDCWD, state->folder.c_str());
    if (fd < 0) return HAL_IO_ERROR;
    FileDescriptor folder(fd);
    Metadata read;
    const MetadataRead outcome = readMetadata(fd, &read);
    if (outcome == MetadataRead::kUnreadable) return HAL_IO_ERROR;
    std::vector<int32_t> ids;
    if (!scanStoreFolder(fd, &ids)) return HAL_IO_ERROR;
    int32_t uncommitted = 0;
    bool rewrite = false;
    const Metadata* known = outcome == MetadataRead::kRead ? &read : nullptr;
    Metadata metadata =
        hal_recordstore::repairMetadata(known, ids, nowMillis(), recordSizeInFolder, &fd, &uncommitted, &rewrite);
    bool changed = false;
    if (uncommitted != 0) {
        ::unlinkat(fd, recordFileName(uncommitted).c_str(), 0);
        ids.pop_back();  // the highest id
        changed = true;
    }
    // A store that cannot be written (a read-only folder) still opens with
    // the values put right in memory; its writes will fail.
    if (rewrite) changed = writeMetadata(fd, metadata) || changed;
    if (changed) flushFolder(fd);
    state->metadata = metadata;
    state->ids = std::move(ids);
    return HAL_OK;
}

bool holdsRecord(const StoreState* state, int32_t id) {
    return std::binary_search(state->ids.begin(), state->ids.end(), id);
}

bool isPlainUnit(uint32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower case is not the canonical form
}

void putLittleEndian(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(value >> (8 * i));
}

uint32_t getLittleEndian(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

}  // namespace

// --- file layout ------------------------------------------------------------------------

namespace hal_recordstore {

std::string databaseDirectory() {
    const char* named = std::getenv("VESSILO_DATABASE_DIR");
    std::string dir =
        named != nullptr && named[0] != '\0' ? std::string(named) : std::string(HAL_programDirectory()) + "database";
    if (dir.back() != '/') dir += '/';
    return dir;
}

std::string storeFolderName(const char16_t* name, int32_t length) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string folder = kStorePrefix;
    for (int32_t i = 0; i < length; ++i) {
        uint32_t c = name[i];
        if (isPlainUnit(c)) {
            folder += char(c);
        } else {
            folder += '%';
            for (int shift = 12; shift >= 0; shift -= 4) folder += kDigits[(c >> shift) & 15];
        }
    }
    return folder;
}

bool storeNameOfFolder(const char* entry, std::u16string* name) {
    name->clear();
    if (std::strncmp(entry, kStorePrefix, kStorePrefixLength) != 0) return false;
    for (const char* p = entry + kStorePrefixLength; *p != '\0';) {
        if (name->size() >= size_t(kMaxNameLength)) return false;
        if (*p == '%') {
            uint32_t c = 0;
            for (int i = 1; i <= 4; ++i) {
                int digit = hexValue(p[i]);  // stops at the NUL too
                if (digit < 0) return false;
                c = c << 4 | uint32_t(digit);
            }
            if (isPlainUnit(c)) return false;  // written plainly in the canonical form
            name->push_back(char16_t(c));
            p += 5;
        } else if (isPlainUnit(uint8_t(*p))) {
            name->push_back(char16_t(*p));
            ++p;
        } else {
            return false;
        }
    }
    return !name->empty();
}

bool recordIdOfFile(const char* entry, int32_t* id) {
    if (std::strncmp(entry, kRecordPrefix, kRecordPrefixLength) != 0) return false;
    const char* p = entry + kRecordPrefixLength;
    if (*p < '1' || *p > '9') return false;
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value >= INT32_MAX) return false;
        ++p;
    }
    if (std::strcmp(p, kRecordSuffix) != 0) return false;
    *id = int32_t(value);
    return true;
}

void encodeMetadata(const Metadata& metadata, uint8_t bytes[kMetadataSize]) {
    putLittleEndian(bytes, metadata.lastModified);
    putLittleEndian(bytes + 4, metadata.version);
    putLittleEndian(bytes + 8, uint32_t(metadata.nextId));
    putLittleEndian(bytes + 12, uint32_t(metadata.size));
    putLittleEndian(bytes + 16, uint32_t(metadata.count));
}

bool decodeMetadata(const uint8_t* bytes, size_t size, Metadata* metadata) {
    if (bytes == nullptr || size != kMetadataSize) return false;
    Metadata decoded;
    decoded.lastModified = getLittleEndian(bytes);
    decoded.version = getLittleEndian(bytes + 4);
    decoded.nextId = int32_t(getLittleEndian(bytes + 8));
    decoded.size = int32_t(getLittleEndian(bytes + 12));
    decoded.count = int32_t(getLittleEndian(bytes + 16));
    if (decoded.nextId < 1) return false;
    *metadata = decoded;
    return true;
}

Metadata repairMetadata(const Metadata* read, const std::vector<int32_t>& ids, uint32_t now,
                        int64_t (*sizeOf)(int32_t id, void* context), void* context, int32_t* uncommittedId,
                        bool* rewrite) {
    *uncommittedId = 0;
    *rewrite = false;
    if (read != nullptr) {
        size_t committed = size_t(std::lower_bound(ids.begin(), ids.end(), read->nextId) - ids.begin());
        size_t beyond = ids.size() - committed;
        // An add writes its record before the metadata that commits it, so
        // at most the record of the next id may stand beyond it.
        if (beyond == 0 || (beyond == 1 && ids.back() == read->nextId)) {
            Metadata kept = *read;
            if (beyond == 1) *uncommittedId = ids.back();
            if (kept.count != int32_t(committed)) {
                kept.count = int32_t(committed);
                *rewrite = true;
            }
            return kept;
        }
    }
    Metadata rebuilt;
    rebuilt.lastModified = now;
    rebuilt.version = 0;
    rebuilt.nextId = ids.empty() ? 1 : ids.back() + 1;
    rebuilt.count = int32_t(ids.size());
    uint32_t total = 0;  // the 32-bit count wraps as the one kept by adds does
    for (int32_t id : ids) total += uint32_t(std::max<int64_t>(sizeOf(id, context), 0));
    rebuilt.size = int32_t(total);
    *rewrite = true;
    return rebuilt;
}

}  // namespace hal_recordstore

// --- entry points -------------------------------------------------------------------------

int HAL_createRecordStoreLock() {
    recordStoreLock();
    return HAL_OK;
}

int HAL_openRecordStore(NativeRecordStore** store, const char16_t* name, int32_t length, int create) {
    if (name == nullptr || length <= 0) return HAL_NOT_FOUND;
    if (store == nullptr) return HAL_BAD_ARGUMENT;
    *store = nullptr;
    if (length > hal_recordstore::kMaxNameLength) return HAL_BAD_ARGUMENT;
    const std::string database = hal_recordstore::databaseDirectory();
    if (::mkdir(database.c_str(), 0755) != 0 && errno != EEXIST) return HAL_NOT_FOUND;
    const std::string entry = hal_recordstore::storeFolderName(name, length);
    const std::string folder = database + entry;
    auto* handle = new (std::nothrow) NativeRecordStore;
    if (handle == nullptr) return HAL_OUT_OF_MEMORY;

    RecordStoreLocked locked;
    int databaseFd = openDirectory(AT_FDCWD, database.c_str());
    FileDescriptor databaseFolder(databaseFd);
    if (databaseFd >= 0) removeTrash(databaseFd);
    struct stat info;
    const bool looked = ::lstat(folder.c_str(), &info) == 0;
    const int lookError = errno;
    const bool exists = looked && S_ISDIR(info.st_mode);
    // A store that may be there but cannot be looked at (no permission on the
    // database folder) is not "no store": a caller must not write over it.
    if ((!looked && lookError != ENOENT && lookError != ENOTDIR) ||
        refusedToOwner(AT_FDCWD, database.c_str(), kReadFolder)) {
        delete handle;
        return HAL_IO_ERROR;
    }
    {
        std::lock_guard<std::mutex> memory(g_memory);
        auto open = g_stores.find(folder);
        if (open != g_stores.end()) {
            if (exists) {
                handle->state = open->second;
                ++open->second->handles;
                *store = handle;
                return HAL_OK;
            }
            // Removed behind this process's back: what is in memory is stale.
            open->second->deleted = true;
            g_stores.erase(open);
        }
    }
    if (!exists && !create) {
        delete handle;
        return HAL_NOT_FOUND;
    }
    if (!exists) {
        if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
            delete handle;
            return HAL_IO_ERROR;
        }
        if (databaseFd >= 0) flushFolder(databaseFd);
    }
    auto* state = new (std::nothrow) StoreState;
    if (state == nullptr) {
        delete handle;
        return HAL_OUT_OF_MEMORY;
    }
    state->folder = folder;
    int status = loadStore(state);
    if (status != HAL_OK) {
        delete state;
        delete handle;
        return status;
    }
    state->handles = 1;
    handle->state = state;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        g_stores[folder] = state;
    }
    *store = handle;
    return HAL_OK;
}

void HAL_closeRecordStore(NativeRecordStore* store) {
    if (store != nullptr) releaseHandle(store);
}

int HAL_deleteRecordStore(const char16_t* name, int32_t length) {
    if (name == nullptr || length < 1 || length > hal_recordstore::kMaxNameLength) return HAL_NOT_FOUND;
    const std::string database = hal_recordstore::databaseDirectory();
    const std::string entry = hal_recordstore::storeFolderName(name, length);

    RecordStoreLocked locked;
    int fd = openDirectory(AT_FDCWD, database.c_str());
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? HAL_NOT_FOUND : HAL_IO_ERROR;
    FileDescriptor databaseFolder(fd);
    {
        std::lock_guard<std::mutex> memory(g_memory);
        auto open = g_stores.find(database + entry);
        if (open != g_stores.end()) {
            open->second->deleted = true;
            g_stores.erase(open);
        }
    }
    removeTrash(fd);
    struct stat info;
    if (::fstatat(fd, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(info.st_mode)) return HAL_OK;
    // Out of sight in one step, so that a crash cannot leave half a store;
    // then emptied and removed.
    const std::string trash = kTrashPrefix + entry;
    if (::renameat(fd, entry.c_str(), fd, trash.c_str()) != 0) return HAL_IO_ERROR;
    if (!flushFolder(fd)) return HAL_IO_ERROR;
    removeTree(fd, trash.c_str(), 0);
    return HAL_OK;
}

namespace {

bool g_exchangeRefused = false;  // tests: act as on a file system that cannot exchange folders

// Writes a file of the aside folder under its final name and flushes it.
bool writeFlushed(int folder, const std::string& name, const void* data, size_t size) {
    FileDescriptor file(hal_file::open(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644));
    return file.valid() && writeAll(file.get(), data, size) && hal_file::flush(file.get(), true) && file.close();
}

// Writes the new store into the aside folder: the records, then, once they
// are on the disk, the metadata that marks the folder complete.
int writeAside(int database, const std::string& aside, const void* const* records, const int32_t* lengths,
               int32_t count, Metadata* metadata) {
    removeTree(database, aside.c_str(), 0);
    if (::mkdirat(database, aside.c_str(), 0755) != 0) return HAL_IO_ERROR;
    FileDescriptor folder(openDirectory(database, aside.c_str()));
    if (!folder.valid()) return HAL_IO_ERROR;
    static const uint8_t kNothing = 0;
    uint32_t size = 0;
    RuntimeLockGap gap;
    for (int32_t k = 0; k < count; ++k) {
        const void* data = records[k] != nullptr ? records[k] : &kNothing;
        if (!writeFlushed(folder.get(), recordFileName(k + 1), data, size_t(lengths[k]))) return HAL_IO_ERROR;
        size += uint32_t(lengths[k]);
    }
    if (!hal_file::flush(folder.get(), false)) return HAL_IO_ERROR;
    metadata->lastModified = nowMillis();
    metadata->version = 0;
    metadata->nextId = count + 1;
    metadata->size = int32_t(size);
    metadata->count = count;
    uint8_t bytes[hal_recordstore::kMetadataSize];
    hal_recordstore::encodeMetadata(*metadata, bytes);
    if (!writeFlushed(folder.get(), kMetadataName, bytes, sizeof bytes) || !hal_file::flush(folder.get(), false))
        return HAL_IO_ERROR;
    return HAL_OK;
}

// Puts the complete aside folder in the store folder's place. One exchange of
// the two folders where the file system offers it (the old records are then
// in the aside folder); else the old folder goes to the trash and the aside
// folder takes its name, a crash between the two being settled by the next
// opening.
bool putAsideInPlace(int database, const std::string& aside, const std::string& entry, bool exists) {
    if (!exists) return ::renameat(database, aside.c_str(), database, entry.c_str()) == 0;
    if (!g_exchangeRefused && ::renameat2(database, aside.c_str(), database, entry.c_str(), RENAME_EXCHANGE) == 0)
        return true;
    if (!g_exchangeRefused && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    const std::string trash = kTrashPrefix + entry;
    if (!removeTree(database, trash.c_str(), 0)) return false;
    if (::renameat(database, entry.c_str(), database, trash.c_str()) != 0) return false;
    if (::renameat(database, aside.c_str(), database, entry.c_str()) != 0) {
        ::renameat(database, trash.c_str(), database, entry.c_str());
        return false;
    }
    return true;
}

}  // namespace

void hal_recordstore::refuseFolderExchange(bool refuse) { g_exchangeRefused = refuse; }

void hal_recordstore::actAsOwner(bool owner) { g_actAsOwner.store(owner, std::memory_order_relaxed); }

std::string hal_recordstore::databaseProblem() {
    const std::string database = databaseDirectory();
    auto problem = [&database](int error) { return database + ": " + std::strerror(error); };
    if (::mkdir(database.c_str(), 0755) != 0 && errno != EEXIST) return problem(errno);
    FileDescriptor folder(openDirectory(AT_FDCWD, database.c_str()));
    if (!folder.valid()) return problem(errno);
    if (::access(database.c_str(), R_OK | W_OK | X_OK) != 0) return problem(errno);
    if (refusedToOwner(AT_FDCWD, database.c_str(), S_IRWXU)) return problem(EACCES);
    return std::string();
}

int HAL_checkDatabaseFolder() {
    const std::string problem = hal_recordstore::databaseProblem();
    if (problem.empty()) return HAL_OK;
    std::fprintf(stderr, "vessilo: options and progress will not be kept: %s\n", problem.c_str());
    return HAL_IO_ERROR;
}

int HAL_replaceRecords(const char16_t* name, int32_t length, const void* const* records, const int32_t* lengths,
                       int32_t count) {
    if (name == nullptr || length <= 0) return HAL_NOT_FOUND;
    if (length > hal_recordstore::kMaxNameLength || count < 0) return HAL_BAD_ARGUMENT;
    if (count > 0 && (records == nullptr || lengths == nullptr)) return HAL_BAD_ARGUMENT;
    for (int32_t k = 0; k < count; ++k) {
        if (lengths[k] < 0 || (records[k] == nullptr && lengths[k] > 0)) return HAL_BAD_ARGUMENT;
    }
    if (count >= INT32_MAX - 1) return HAL_IO_ERROR;  // no ids left
    const std::string database = hal_recordstore::databaseDirectory();
    if (::mkdir(database.c_str(), 0755) != 0 && errno != EEXIST) return HAL_NOT_FOUND;
    const std::string entry = hal_recordstore::storeFolderName(name, length);
    const std::string aside = kAsidePrefix + entry;

    RecordStoreLocked locked;
    FileDescriptor databaseFolder(openDirectory(AT_FDCWD, database.c_str()));
    if (!databaseFolder.valid()) return HAL_NOT_FOUND;
    const int fd = databaseFolder.get();
    removeTrash(fd);
    Metadata metadata;
    if (writeAside(fd, aside, records, lengths, count, &metadata) != HAL_OK) {
        removeTree(fd, aside.c_str(), 0);
        return HAL_IO_ERROR;
    }
    struct stat info;
    const bool exists = ::fstatat(fd, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
    if (!putAsideInPlace(fd, aside, entry, exists)) {
        removeTree(fd, aside.c_str(), 0);
        return HAL_IO_ERROR;
    }
    {
        // Handles open on the store see the new records.
        std::lock_guard<std::mutex> memory(g_memory);
        auto open = g_stores.find(database + entry);
        if (open != g_stores.end()) {
            open->second->metadata = metadata;
            open->second->ids.clear();
            for (int32_t id = 1; id <= count; ++id) open->second->ids.push_back(id);
        }
    }
    const bool flushed = flushFolder(fd);
    // The old records, now aside or in the trash.
    removeTree(fd, aside.c_str(), 0);
    removeTree(fd, (kTrashPrefix + entry).c_str(), 0);
    return flushed ? HAL_OK : HAL_IO_ERROR;
}

int32_t HAL_getNumRecordStores() {
    std::vector<std::u16string> names;
    if (!listStores(&names)) return 0;
    return int32_t(std::min<size_t>(names.size(), INT32_MAX));
}

int HAL_getNthRecordStoreName(int32_t n, char16_t* characters, int32_t* length) {
    if (n < 1 || characters == nullptr || length == nullptr) return HAL_BAD_ARGUMENT;
    std::vector<std::u16string> names;
    if (!listStores(&names) || size_t(n) > names.size()) return HAL_NOT_FOUND;
    const std::u16string& name = names[size_t(n) - 1];
    if (*length < 0 || size_t(*length) < name.size() + 1) return HAL_BAD_ARGUMENT;
    std::copy(name.begin(), name.end(), characters);
    characters[name.size()] = 0;
    *length = int32_t(name.size());
    return HAL_OK;
}

namespace {

// The value getters: 4 for a null argument.
template <class T, class Read>
int readValue(NativeRecordStore* store, T* value, Read read) {
    if (store == nullptr || value == nullptr) return HAL_NOT_FOUND;
    std::lock_guard<std::mutex> memory(g_memory);
    *value = read(store->state->metadata);
    return HAL_OK;
}

}  // namespace

int HAL_getNumRecords(NativeRecordStore* store, int32_t* value) {
    return readValue(store, value, [](const Metadata& m) { return m.count; });
}

int HAL_getRecordStoreSize(NativeRecordStore* store, int32_t* value) {
    return readValue(store, value, [](const Metadata& m) { return m.size; });
}

int HAL_getRecordStoreVersion(NativeRecordStore* store, int32_t* value) {
    return readValue(store, value, [](const Metadata& m) { return int32_t(m.version); });
}

int HAL_getRecordStoreLastModified(NativeRecordStore* store, int64_t* value) {
    return readValue(store, value, [](const Metadata& m) { return int64_t(int32_t(m.lastModified)); });
}

int HAL_getNextRecordID(NativeRecordStore* store, int32_t* value) {
    if (store == nullptr || value == nullptr) return HAL_BAD_ARGUMENT;
    return readValue(store, value, [](const Metadata& m) { return m.nextId; });
}

int HAL_getRecordStoreSizeAvailable(NativeRecordStore*, int32_t* value) {
    if (value == nullptr) return HAL_BAD_ARGUMENT;
    struct statvfs info;
    const std::string database = hal_recordstore::databaseDirectory();
    if (::statvfs(database.c_str(), &info) != 0) {
        *value = 0;
        return HAL_OK;
    }
    const uint64_t bytes = uint64_t(info.f_bavail) * uint64_t(info.f_frsize);
    *value = int32_t(std::min<uint64_t>(bytes, INT32_MAX));
    return HAL_OK;
}

int HAL_addRecord(NativeRecordStore* store, int32_t* id, const void* data, int32_t length) {
    if (store == nullptr || data == nullptr || id == nullptr || length < 0) return HAL_BAD_ARGUMENT;
    HandleInUse inUse(store);
    StoreState* state = store->state;
    RecordStoreLocked locked;
    Metadata metadata;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        if (state->deleted) return HAL_IO_ERROR;
        metadata = state->metadata;
    }
    const int32_t added = metadata.nextId;
    if (added < 1 || added >= INT32_MAX) return HAL_IO_ERROR;  // no id left
    int fd = openDirectory(AT_FDCWD, state->folder.c_str());
    if (fd < 0) return HAL_IO_ERROR;
    FileDescriptor folder(fd);
    const std::string file = recordFileName(added);
    metadata.lastModified = nowMillis();
    metadata.nextId = added + 1;
    metadata.size = int32_t(uint32_t(metadata.size) + uint32_t(length));
    metadata.count = metadata.count + 1;
    NewFile record(fd, file);
    NewFile committing(fd, kMetadataName);
    if (!record.write(data, size_t(length)) || !writeMetadataBytes(&committing, metadata) ||
        !flushAll({&record, &committing}))
        return HAL_IO_ERROR;
    // The record on the disk for good first; then the metadata that commits
    // it by moving the next id beyond it.
    if (!record.place()) return HAL_IO_ERROR;
    if (!flushFolder(fd) || !committing.place()) {
        ::unlinkat(fd, file.c_str(), 0);
        flushFolder(fd);
        return HAL_IO_ERROR;
    }
    {
        std::lock_guard<std::mutex> memory(g_memory);
        state->metadata = metadata;
        state->ids.push_back(added);  // above every id present
    }
    if (!flushFolder(fd)) return HAL_IO_ERROR;
    *id = added;
    return HAL_OK;
}

int HAL_setRecord(NativeRecordStore* store, int32_t id, const void* data, int32_t length) {
    if (store == nullptr || length < 0 || (data == nullptr && length > 0)) return HAL_BAD_ARGUMENT;
    HandleInUse inUse(store);
    StoreState* state = store->state;
    RecordStoreLocked locked;
    Metadata metadata;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        if (state->deleted) return HAL_IO_ERROR;
        if (!holdsRecord(state, id)) return HAL_NOT_FOUND;
        metadata = state->metadata;
    }
    int fd = openDirectory(AT_FDCWD, state->folder.c_str());
    if (fd < 0) return HAL_IO_ERROR;
    FileDescriptor folder(fd);
    static const uint8_t kNothing = 0;
    metadata.lastModified = nowMillis();
    NewFile record(fd, recordFileName(id));
    NewFile time(fd, kMetadataName);
    if (!record.write(data != nullptr ? data : &kNothing, size_t(length))) return HAL_IO_ERROR;
    // The metadata holds only the time: not worth failing a stored record for.
    bool timeWritten = writeMetadataBytes(&time, metadata);
    {
        RuntimeLockGap gap;
        if (!record.flush()) return HAL_IO_ERROR;
        timeWritten = timeWritten && time.flush();
    }
    if (!record.place()) return HAL_IO_ERROR;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        state->metadata = metadata;
    }
    if (timeWritten) time.place();
    return flushFolder(fd) ? HAL_OK : HAL_IO_ERROR;
}

int HAL_deleteRecord(NativeRecordStore* store, int32_t id) {
    if (store == nullptr) return HAL_BAD_ARGUMENT;
    HandleInUse inUse(store);
    StoreState* state = store->state;
    RecordStoreLocked locked;
    Metadata metadata;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        if (state->deleted || !holdsRecord(state, id)) return HAL_IO_ERROR;
        metadata = state->metadata;
    }
    int fd = openDirectory(AT_FDCWD, state->folder.c_str());
    if (fd < 0) return HAL_IO_ERROR;
    FileDescriptor folder(fd);
    const bool removed = ::unlinkat(fd, recordFileName(id).c_str(), 0) == 0;
    if (!removed && errno != ENOENT) return HAL_IO_ERROR;
    // Gone (or already gone behind this process's back): forget it.
    metadata.lastModified = nowMillis();
    metadata.count = metadata.count - 1;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        auto at = std::lower_bound(state->ids.begin(), state->ids.end(), id);
        if (at != state->ids.end() && *at == id) state->ids.erase(at);
        state->metadata = metadata;
    }
    writeMetadata(fd, metadata);  // a stale count is put right on the next open
    const bool flushed = flushFolder(fd);
    return removed && flushed ? HAL_OK : HAL_IO_ERROR;
}

int HAL_getRecordSize(NativeRecordStore* store, int32_t id, int32_t* size) {
    if (store == nullptr || size == nullptr) return HAL_BAD_ARGUMENT;
    HandleInUse inUse(store);
    StoreState* state = store->state;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        if (!holdsRecord(state, id)) return HAL_IO_ERROR;
    }
    const std::string path = state->folder + "/" + recordFileName(id);
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > INT32_MAX) return HAL_IO_ERROR;
    *size = int32_t(info.st_size);
    return HAL_OK;
}

int HAL_getRecord(NativeRecordStore* store, int32_t id, void* buffer, int32_t* length) {
    if (store == nullptr || length == nullptr) return HAL_BAD_ARGUMENT;
    const int32_t room = *length;
    if (room < 0 || (buffer == nullptr && room > 0)) return HAL_BAD_ARGUMENT;
    HandleInUse inUse(store);
    StoreState* state = store->state;
    {
        std::lock_guard<std::mutex> memory(g_memory);
        if (!holdsRecord(state, id)) return HAL_IO_ERROR;
    }
    const std::string path = state->folder + "/" + recordFileName(id);
    if (refusedToOwner(AT_FDCWD, path.c_str(), S_IRUSR)) return HAL_IO_ERROR;
    // Not blocking: a pipe put in a record's place must fail the read, not
    // wait for a writer that never comes.
    int fd = hal_file::open(AT_FDCWD, path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return HAL_IO_ERROR;
    FileDescriptor file(fd);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > INT32_MAX) return HAL_IO_ERROR;
    const int32_t size = int32_t(info.st_size);
    // Replacing a record renames a new file over it, so this descriptor keeps
    // one whole version of it.
    if (size <= room && size > 0 && !readAll(fd, static_cast<uint8_t*>(buffer), size_t(size))) return HAL_IO_ERROR;
    *length = size;
    return HAL_OK;
}

int HAL_getNthRecordID(NativeRecordStore* store, int32_t n, int32_t* id) {
    if (store == nullptr || id == nullptr) return HAL_BAD_ARGUMENT;
    std::lock_guard<std::mutex> memory(g_memory);
    const std::vector<int32_t>& ids = store->state->ids;
    if (n < 1 || size_t(n) > ids.size()) return HAL_NOT_FOUND;
    *id = ids[size_t(n) - 1];
    return HAL_OK;
}
