// javax.microedition.rms.RecordStore: argument checks and their order, the
// exceptions of each platform status, closed stores, listeners, listing and
// deleting, and two objects (and two threads) on one store.
#include <functional>
#include <set>
#include <string>

#include "VMThread.h"
#include "hal_recordstore.h"
#include "java_lang_RuntimeException.h"
#include "java_lang_System.h"
#include "java_lang_Thread.h"
#include "javax_microedition_rms_RecordListener.h"
#include "rms_test_support.h"

namespace rmstest {

using javax::microedition::rms::RecordListener;

// Notes every change it is told of in a shared log.
class LogListener : public virtual java::lang::Object, public virtual RecordListener {
    VM_DECLARE_CLASS(LogListener, java::lang::Object)

public:
    std::string tag;
    std::string* log = nullptr;
    std::function<void()> whenTold;

    VMPtr<LogListener> construct(const char* name, std::string* into) {
        Super::construct();
        tag = name;
        log = into;
        return this;
    }
    void recordAdded(VMPtr<RecordStore>, jint id) override { note("+", id); }
    void recordChanged(VMPtr<RecordStore>, jint id) override { note("~", id); }
    void recordDeleted(VMPtr<RecordStore>, jint id) override { note("-", id); }
    void note(const char* change, jint id) {
        *log += tag + change + std::to_string(id) + " ";
        if (whenTold) whenTold();
    }
};

}  // namespace rmstest

VM_REGISTER_CLASS(rmstest::LogListener, .name = "rmstest.LogListener",
                  .interfaces = {"javax.microedition.rms.RecordListener"})

namespace rmstest {
namespace {

constexpr const char* kStoreException = "javax.microedition.rms.RecordStoreException";
constexpr const char* kNotOpen = "javax.microedition.rms.RecordStoreNotOpenException";
constexpr const char* kNotFound = "javax.microedition.rms.RecordStoreNotFoundException";
constexpr const char* kOutOfRange = "java.lang.ArrayIndexOutOfBoundsException";
constexpr const char* kNull = "java.lang.NullPointerException";

using RecordStoreTest = RmsTest;

TEST_F(RecordStoreTest, OpeningChecksTheNameAndCreatesOnlyWhenAsked) {
    EXPECT_EQ(VM_THROWN_CLASS(RecordStore::openRecordStore(nullptr, true)), kNull);
    EXPECT_EQ(VM_THROWN_CLASS(open("")), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_CLASS(open(std::string(33, 'n').c_str())), "java.lang.IllegalArgumentException");
    EXPECT_EQ(VM_THROWN_TEXT(open("missing", false)), kNotFound);  // no message
    VMPtr<RecordStore> longest = open(std::string(32, 'n').c_str());
    EXPECT_EQ(::text(longest->getName()), std::string(32, 'n'));
    VMPtr<RecordStore> first = open("save");
    VMPtr<RecordStore> second = open("save", false);
    EXPECT_NE(first.get(), second.get());
    second->closeRecordStore();
    EXPECT_TRUE(first->isOpen());  // closing one object leaves the other open
}

TEST_F(RecordStoreTest, AddAndSetCheckTheirArgumentsInOrder) {
    VMPtr<RecordStore> store = open("checks");
    VMPtr<RecordStore> closed = open("checks");
    closed->closeRecordStore();
    const jint id = add(store, "abcd");
    VMPtr<VMBytes> four = bytes("wxyz");
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* thrown;
    } cases[] = {
        {"add null data with bytes", [&] { store->addRecord(nullptr, 0, 1); }, kNull},
        {"... also when closed", [&] { closed->addRecord(nullptr, 0, 1); }, kNull},
        {"add to a closed store", [&] { closed->addRecord(four, 0, 5); }, kNotOpen},
        {"add past the end", [&] { store->addRecord(four, 2, 3); }, kOutOfRange},
        {"add from a negative offset", [&] { store->addRecord(four, -1, 1); }, kOutOfRange},
        {"add a negative count", [&] { store->addRecord(four, 0, -1); }, kOutOfRange},
        {"add where offset + count overflows", [&] { store->addRecord(four, 1, 0x7fffffff); }, kOutOfRange},
        {"add null data without bytes", [&] { store->addRecord(nullptr, 0, 0); }, kStoreException},
        {"add nothing from the end", [&] { store->addRecord(four, 4, 0); }, ""},
        {"set null data with bytes", [&] { store->setRecord(id, nullptr, 0, 1); }, kNull},
        {"set past the end", [&] { store->setRecord(id, four, 3, 2); }, kOutOfRange},
        {"set a record that does not exist", [&] { store->setRecord(99, four, 0, 4); }, kStoreException},
        {"set an empty record", [&] { store->setRecord(id, nullptr, 0, 0); }, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(VM_THROWN_TEXT(c.call()), c.thrown) << c.what;
    EXPECT_EQ(store->getNumRecords(), 2);
    EXPECT_EQ(store->getRecordSize(id), 0);
    EXPECT_EQ(text(store->getRecord(id)), "");  // an empty array, not null
    EXPECT_EQ(store->getNextRecordID(), 3);
}

TEST_F(RecordStoreTest, RecordsReadIntoBuffersOnlyWhenTheyFit) {
    VMPtr<RecordStore> store = open("reads");
    const jint id = add(store, "hello");
    VMPtr<VMBytes> buffer = bytes("..........");
    EXPECT_EQ(store->getRecord(id, buffer, 3), 5);
    EXPECT_EQ(text(buffer), "...hello..");
    buffer = bytes("......");
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* thrown;
    } cases[] = {
        {"too little room", [&] { store->getRecord(id, buffer, 2); }, kOutOfRange},
        {"offset past the end", [&] { store->getRecord(id, buffer, 7); }, kOutOfRange},
        {"negative offset", [&] { store->getRecord(id, buffer, -1); }, kOutOfRange},
        {"no buffer", [&] { store->getRecord(id, nullptr, 0); }, kNull},
        {"a record that does not exist", [&] { store->getRecord(9, buffer, 0); }, kStoreException},
        {"its size", [&] { store->getRecordSize(9); }, kStoreException},
        {"deleting it", [&] { store->deleteRecord(9); }, kStoreException},
        {"reading it whole", [&] { store->getRecord(9); }, kStoreException},
    };
    for (const Case& c : cases) EXPECT_EQ(VM_THROWN_TEXT(c.call()), c.thrown) << c.what;
    EXPECT_EQ(text(buffer), "......");  // nothing written by the refused reads
    EXPECT_EQ(store->getRecord(id, buffer, 1), 5);
    EXPECT_EQ(text(buffer), ".hello");
}

TEST_F(RecordStoreTest, AClosedStoreRefusesAllButListenersAndIsOpen) {
    VMPtr<RecordStore> store = open("closing");
    const jint id = add(store, "x");
    store->closeRecordStore();
    EXPECT_FALSE(store->isOpen());
    std::function<void()> refused[] = {
        [&] { store->closeRecordStore(); },
        [&] { store->getName(); },
        [&] { store->getVersion(); },
        [&] { store->getNumRecords(); },
        [&] { store->getSize(); },
        [&] { store->getSizeAvailable(); },
        [&] { store->getLastModified(); },
        [&] { store->getNextRecordID(); },
        [&] { store->deleteRecord(id); },
        [&] { store->getRecordSize(id); },
        [&] { store->getRecord(id); },
        [&] { store->getRecord(id, bytes("ab"), 0); },
        [&] { store->setRecord(id, bytes("y"), 0, 1); },
        [&] { store->enumerateRecords(nullptr, nullptr, false); },
        [&] { store->getRecordIDs(); },
    };
    for (auto& call : refused) EXPECT_EQ(VM_THROWN_TEXT(call()), kNotOpen);
    std::string log;
    VMPtr<LogListener> listener = LogListener::create()->construct("L", &log);
    EXPECT_EQ(VM_THROWN_TEXT(store->addRecordListener(listener)), "");
    EXPECT_EQ(VM_THROWN_TEXT(store->removeRecordListener(listener)), "");
}

TEST_F(RecordStoreTest, ListenersAreToldOnceInTheOrderAdded) {
    VMPtr<RecordStore> store = open("listened");
    std::string log;
    VMPtr<LogListener> a = LogListener::create()->construct("a", &log);
    VMPtr<LogListener> b = LogListener::create()->construct("b", &log);
    VMPtr<LogListener> c = LogListener::create()->construct("c", &log);
    store->addRecordListener(a);
    store->addRecordListener(b);
    store->addRecordListener(a);  // already there
    const jint id = add(store, "1");
    store->setRecord(id, bytes("2"), 0, 1);
    store->deleteRecord(id);
    EXPECT_EQ(log, "a+1 b+1 a~1 b~1 a-1 b-1 ");

    // One that removes itself as it is told: the others are still told.
    log.clear();
    store->addRecordListener(c);
    a->whenTold = [&] { store->removeRecordListener(a); };
    add(store, "3");
    add(store, "4");
    EXPECT_EQ(log, "a+2 b+2 c+2 b+3 c+3 ");

    // One that throws: the change is stored, the later listeners are not told.
    log.clear();
    b->whenTold = [] { _VM_throw(java::lang::RuntimeException::create()->construct()); };
    EXPECT_EQ(VM_THROWN_CLASS(add(store, "5")), "java.lang.RuntimeException");
    EXPECT_EQ(log, "b+4 ");
    EXPECT_EQ(text(store->getRecord(4)), "5");
    store->removeRecordListener(b);
    log.clear();
    add(store, "6");
    EXPECT_EQ(log, "c+5 ");
}

TEST_F(RecordStoreTest, StoresAreListedAndDeleted) {
    EXPECT_EQ(RecordStore::listRecordStores(), nullptr);
    EXPECT_EQ(VM_THROWN_TEXT(RecordStore::deleteRecordStore(java::lang::String::_VM_fromUTF8("none"))), kNotFound);
    VMPtr<RecordStore> kept = open("kept");
    add(kept, "k");
    open("\xc3\xa9t\xc3\xa9");
    VMPtr<VMArray<java::lang::String, 1>> names = RecordStore::listRecordStores();
    ASSERT_EQ(names->length, 2);
    EXPECT_EQ(::text(VMPtr<java::lang::String>(names->get(0))), "kept");
    EXPECT_EQ(::text(VMPtr<java::lang::String>(names->get(1))), "\xc3\xa9t\xc3\xa9");

    EXPECT_EQ(VM_THROWN_TEXT(RecordStore::deleteRecordStore(nullptr)), kNull);
    EXPECT_EQ(
        VM_THROWN_TEXT(RecordStore::deleteRecordStore(java::lang::String::_VM_fromUTF8(std::string(33, 'k').c_str()))),
        kNotFound);
    EXPECT_EQ(VM_THROWN_TEXT(RecordStore::deleteRecordStore(java::lang::String::_VM_fromUTF8("never made"))), "");
    RecordStore::deleteRecordStore(java::lang::String::_VM_fromUTF8("kept"));
    EXPECT_EQ(RecordStore::listRecordStores()->length, 1);
    EXPECT_TRUE(kept->isOpen());  // not closed, but its writes now fail
    EXPECT_EQ(VM_THROWN_TEXT(add(kept, "late")), kStoreException);
    EXPECT_EQ(VM_THROWN_TEXT(open("kept", false)), kNotFound);
}

TEST_F(RecordStoreTest, StoreValuesFollowTheChanges) {
    dir.put("database/store-old/metadata.info", std::string("\x01\x00\x00\x80\0\0\0\0\x01\0\0\0\0\0\0\0\0\0\0\0", 20));
    VMPtr<RecordStore> old = open("old", false);
    EXPECT_EQ(old->getLastModified(), -2147483647LL);  // the 32-bit time, sign-extended

    VMPtr<RecordStore> store = open("values");
    add(store, "abc");
    add(store, "de");
    store->deleteRecord(1);
    store->setRecord(2, bytes("longer"), 0, 6);
    EXPECT_EQ(store->getVersion(), 0);
    EXPECT_EQ(store->getNumRecords(), 1);
    EXPECT_EQ(store->getSize(), 5);  // the bytes ever added
    EXPECT_EQ(store->getNextRecordID(), 3);
    const uint32_t now = uint32_t(java::lang::System::currentTimeMillis());
    EXPECT_LT(uint32_t(now - uint32_t(store->getLastModified()) + 2000), 4000u);  // within 2 s
    EXPECT_EQ(store->getSizeAvailable(), old->getSizeAvailable());
    EXPECT_GT(store->getSizeAvailable(), 0);
    VMPtr<VMArray<jint, 1>> ids = store->getRecordIDs();
    ASSERT_EQ(ids->length, 1);
    EXPECT_EQ((*ids)[0], 2);
}

// Two objects on one store, one of them on a second runtime thread: every
// add gets an id of its own and every record stays readable.
TEST_F(RecordStoreTest, TwoObjectsOnOneStoreNeverOverwriteEachOther) {
    VMPtr<RecordStore> mine = open("together");
    VMPtr<RecordStore> theirs = open("together");
    constexpr int kEach = 20;
    bool done = false;
    VMPtr<vmtest::Task> task = vmtest::Task::create();
    task->body = [&] {
        for (int i = 0; i < kEach; ++i) add(theirs, "theirs " + std::to_string(i));
        done = true;
    };
    java::lang::Thread::create()->construct(task)->start();
    for (int i = 0; i < kEach; ++i) add(mine, "mine " + std::to_string(i));
    ASSERT_TRUE(vmWaitFor([&] { return done; }));
    EXPECT_EQ(mine->getNumRecords(), 2 * kEach);
    EXPECT_EQ(theirs->getNextRecordID(), 2 * kEach + 1);
    std::set<std::string> contents;
    for (jint id = 1; id <= 2 * kEach; ++id) contents.insert(text(mine->getRecord(id)));
    EXPECT_EQ(contents.size(), size_t(2 * kEach));
}

}  // namespace
}  // namespace rmstest
