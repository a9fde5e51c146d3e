// Platform layer: record stores, kept as files.
//
// The stores live in the database folder: database/ beside the program file,
// or the folder named by the environment variable VESSILO_DATABASE_DIR. Each
// store is a folder "store-" + the escaped store name holding one file per
// record, "record-<id>.bin", and "metadata.info": five 32-bit little-endian
// words (last-modification time in milliseconds, low 32 bits; version, always
// 0; next record id; total bytes ever added; record count). docs/formats.md
// describes the files.
//
// A store name reaches the file system escaped: every UTF-16 unit outside
// A-Z a-z 0-9 _ - is written as '%' and four upper-case hexadecimal digits, so
// no name can lead out of the database folder.
//
// Every record file and "metadata.info" is written to a temporary file,
// flushed to the disk and renamed over the old one, so a crash leaves either
// the old or the new content. An add is committed once the metadata holding
// the next id beyond it is on the disk. Opening a store removes left-over
// temporary files and the record file of an add that never committed, and
// rebuilds a metadata file that is missing or does not fit the record files.
// Replacing all of a store's records writes the new store in a folder set
// aside and puts it in place with one rename; opening settles what a crash
// left of such a folder.
//
// All handles open on one store folder in this process share one state (next
// id, count, size, time and the record ids), so two RecordStore objects on the
// same name never hand out the same id.
//
// Locking: one record-store lock serialises every operation that writes, and
// the opening and deleting of stores. When the calling thread holds the
// runtime lock, the record-store lock is taken with the runtime lock released
// and the runtime lock is taken again after it (the enter callback runs); the
// runtime lock is also given up while the disk is flushed. Every change that
// others can see, on the disk or in the shared state, is made holding the
// record-store lock and whatever runtime lock the caller holds, so runtime
// threads see each operation whole.
//
// Status codes (HAL_Status): HAL_OK success, HAL_BAD_ARGUMENT a null or
// out-of-range argument, HAL_NOT_FOUND not found, HAL_IO_ERROR an I/O failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct NativeRecordStore;

// Makes the record-store lock (a start-up step of the host bridge). Every
// operation below also makes it on first use. Returns HAL_OK.
int HAL_createRecordStoreLock();

// Opens (or, when create is non-zero, creates) the store of that name.
// Null characters or a length <= 0: HAL_NOT_FOUND, *store untouched. A null
// store pointer or a name longer than 32 characters: HAL_BAD_ARGUMENT. No
// store of that name and create 0: HAL_NOT_FOUND. The database folder cannot
// be made: HAL_NOT_FOUND. The store folder cannot be made or read:
// HAL_IO_ERROR. Success: *store and HAL_OK.
int HAL_openRecordStore(NativeRecordStore** store, const char16_t* name, int32_t length, int create);
// Releases the handle; null is ignored. Operations still running on it
// finish first.
void HAL_closeRecordStore(NativeRecordStore* store);
// Deletes the store of that name with its records; handles open on it stay
// valid but every write through them fails with HAL_IO_ERROR. A name of 1 to
// 32 characters whose store does not exist: HAL_OK. A null name, a length
// outside 1 to 32 or no database folder: HAL_NOT_FOUND. A folder that cannot
// be removed: HAL_IO_ERROR.
int HAL_deleteRecordStore(const char16_t* name, int32_t length);
// Replaces every record of the store of that name, which is created when it
// does not exist, with count records: record k + 1 holds the lengths[k]
// bytes at records[k] (null for none). Ids, count and size start afresh as in
// a new store. The new store is written and flushed in a folder set aside,
// then put in place with one rename and the database folder flushed, so a
// crash leaves the old records or the new ones. Handles open on the store see
// the new records. A null name or a length <= 0: HAL_NOT_FOUND. A name
// longer than 32 characters, a negative count or length, null records or
// lengths with a count above 0, a null record with a length above 0:
// HAL_BAD_ARGUMENT. No database folder: HAL_NOT_FOUND. A failed write:
// HAL_IO_ERROR, the old records unchanged.
int HAL_replaceRecords(const char16_t* name, int32_t length, const void* const* records, const int32_t* lengths,
                       int32_t count);
// Start-up: makes the database folder when it is missing and, when the
// folder cannot keep the stores (a file or a link to nothing in its place,
// no permission, a read-only file system), says so in one line on the
// standard error: "vessilo: options and progress will not be kept: " and
// the folder and the reason. HAL_OK when the folder can be used, else
// HAL_IO_ERROR.
int HAL_checkDatabaseFolder();
// The number of stores in the database folder; 0 when it is missing.
int32_t HAL_getNumRecordStores();
// The name of the n-th store (from 1; stores ordered by name), NUL-ended, into
// characters; *length holds the room in characters on entry and the name's
// length on return. n < 1, a null argument or too little room:
// HAL_BAD_ARGUMENT. No n-th store: HAL_NOT_FOUND.
int HAL_getNthRecordStoreName(int32_t n, char16_t* characters, int32_t* length);

// Values of an open store: a null store or value pointer gives HAL_NOT_FOUND
// (value untouched).
int HAL_getNumRecords(NativeRecordStore* store, int32_t* value);
int HAL_getRecordStoreSize(NativeRecordStore* store, int32_t* value);
int HAL_getRecordStoreVersion(NativeRecordStore* store, int32_t* value);
// The 32-bit time, sign-extended.
int HAL_getRecordStoreLastModified(NativeRecordStore* store, int64_t* value);
// A null store or value pointer: HAL_BAD_ARGUMENT.
int HAL_getNextRecordID(NativeRecordStore* store, int32_t* value);
// The free space of the file system holding the database folder, at most
// 2^31 - 1 bytes; the same for every store. HAL_OK (HAL_BAD_ARGUMENT for a
// null value pointer).
int HAL_getRecordStoreSizeAvailable(NativeRecordStore* store, int32_t* value);

// Adds a record under the next id. A null store or data, a negative length or
// a null id pointer: HAL_BAD_ARGUMENT. No ids left, a deleted store or a
// failed write: HAL_IO_ERROR, and
// nothing of the record stays on the disk (unless only the last flush of the
// folder failed: then the record stays, its id used up).
int HAL_addRecord(NativeRecordStore* store, int32_t* id, const void* data, int32_t length);
// Replaces a record's content. A null store, a negative length or null data
// with a length above 0: HAL_BAD_ARGUMENT. No record of that id:
// HAL_NOT_FOUND. A failed write or a deleted store: HAL_IO_ERROR (the old
// content stays). A failed metadata write after the
// record is stored is not reported: it only holds the time.
int HAL_setRecord(NativeRecordStore* store, int32_t id, const void* data, int32_t length);
// Deletes a record. A null store: HAL_BAD_ARGUMENT. No record of that id, a
// deleted store or a failed delete: HAL_IO_ERROR. A failed metadata write after the record file is gone
// is not reported: the count is put right when the store is next opened.
int HAL_deleteRecord(NativeRecordStore* store, int32_t id);
// A record's length. A null store or size pointer: HAL_BAD_ARGUMENT. No
// record: HAL_IO_ERROR.
int HAL_getRecordSize(NativeRecordStore* store, int32_t id, int32_t* size);
// Reads a record into buffer; *length holds the room on entry and the
// record's length on return. A record longer than the room is not read at
// all: the status is HAL_OK and *length exceeds the room, so callers
// compare. A null store or length pointer, a negative room or a null buffer
// with room: HAL_BAD_ARGUMENT. No record or a failed read: HAL_IO_ERROR.
int HAL_getRecord(NativeRecordStore* store, int32_t id, void* buffer, int32_t* length);
// The id of the n-th record (from 1, in increasing id order). A null store
// or id pointer: HAL_BAD_ARGUMENT. n outside 1 to the record count:
// HAL_NOT_FOUND.
int HAL_getNthRecordID(NativeRecordStore* store, int32_t n, int32_t* id);

// The file layout's pieces, for tests and the fuzz targets.
namespace hal_recordstore {

constexpr int32_t kMaxNameLength = 32;
constexpr size_t kMetadataSize = 20;

struct Metadata {
    uint32_t lastModified = 0;
    uint32_t version = 0;
    int32_t nextId = 1;
    int32_t size = 0;
    int32_t count = 0;
};

// The database folder, with a trailing '/'.
std::string databaseDirectory();
// "store-" + the escaped name.
std::string storeFolderName(const char16_t* name, int32_t length);
// The store name of a database folder entry: false unless the entry is
// "store-" followed by the canonical escaping of 1 to 32 units.
bool storeNameOfFolder(const char* entry, std::u16string* name);
// The id of a record file name: false unless it is "record-", a decimal id
// from 1 to 2^31 - 2 without leading zeros (the next id stays above
// every id), and ".bin".
bool recordIdOfFile(const char* entry, int32_t* id);
// The 20 bytes of a metadata file, and back. Decoding fails unless there are
// exactly 20 bytes and the next id is at least 1.
void encodeMetadata(const Metadata& metadata, uint8_t bytes[kMetadataSize]);
bool decodeMetadata(const uint8_t* bytes, size_t size, Metadata* metadata);
// What opening makes of the metadata read from a store folder (null when it
// is missing or its bytes do not decode; a file that is there but cannot be
// read fails the opening before this) and of the record ids found there
// (sorted, ascending):
// - it fits the records: kept. A record at exactly the next id is an add that
//   never committed: its id goes to *uncommittedId (0 when none) for the
//   caller to remove;
// - only the count differs (a delete that never reached the metadata): the
//   count is corrected;
// - missing, undecodable, or records beyond the next id: rebuilt from the
//   records (next id above the highest, count from the files, size the sum of
//   sizeOf over them, time now).
// *rewrite tells whether the result differs from what the disk holds.
Metadata repairMetadata(const Metadata* read, const std::vector<int32_t>& ids, uint32_t now,
                        int64_t (*sizeOf)(int32_t id, void* context), void* context, int32_t* uncommittedId,
                        bool* rewrite);

// Why the database folder cannot keep the stores ("<folder>: <reason>"),
// or an empty string when it can. Makes the folder when it is missing.
std::string databaseProblem();

// Tests: replaces act as on a file system that cannot exchange two folders
// in one rename (the old folder is renamed away first).
void refuseFolderExchange(bool refuse);
// Tests, which may run as root: reading a store folder, a record file or a
// metadata file, and the database folder check, are refused (EACCES) as the
// owner's permission bits would refuse them to an ordinary user.
void actAsOwner(bool owner);

}  // namespace hal_recordstore
