// javax.microedition.io.Connector: the protocol class is found by the URL's
// scheme and opens the whole URL; the refusals and what passes through.
// Also PushRegistry's one refusal.
#include <string>

#include "com_tarsel_sorrel_cldc_io_ConnectionBaseInterface.h"
#include "com_tarsel_sorrel_midp_io_protocol_http_Protocol.h"
#include "com_tarsel_sorrel_midp_io_protocol_https_Protocol.h"
#include "java_io_IOException.h"
#include "javax_microedition_io_ConnectionNotFoundException.h"
#include "javax_microedition_io_Connector.h"
#include "javax_microedition_io_PushRegistry.h"
#include "vm_test.h"

using javax::microedition::io::Connection;
using javax::microedition::io::Connector;

// Test protocols, under the runtime's protocol package.
namespace com::tarsel::sorrel::midp::io::protocol {

// Records what it was asked to open and hands itself out as the connection.
namespace x_test {
class Protocol : public virtual java::lang::Object,
                 public virtual com::tarsel::sorrel::cldc::io::ConnectionBaseInterface,
                 public virtual javax::microedition::io::Connection {
    VM_DECLARE_CLASS(Protocol, java::lang::Object)

public:
    static inline std::string lastName;
    static inline jint lastMode = -1;
    static inline jboolean lastTimeouts = false;
    VMPtr<Connection> openConnection(VMPtr<java::lang::String> name, jint mode, jboolean timeouts) override {
        lastName = text(name);
        lastMode = mode;
        lastTimeouts = timeouts;
        return VMPtr<Connection>(this);
    }
    void close() override {}
};
}  // namespace x_test

// Not a protocol class at all.
namespace notproto {
class Protocol : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Protocol, java::lang::Object)
};
}  // namespace notproto

// Registered without an instance factory.
namespace nofactory {
class Protocol : public virtual java::lang::Object {
    VM_DECLARE_CLASS(Protocol, java::lang::Object)
};
}  // namespace nofactory

// Fails to open.
namespace failing {
class Protocol : public virtual java::lang::Object,
                 public virtual com::tarsel::sorrel::cldc::io::ConnectionBaseInterface {
    VM_DECLARE_CLASS(Protocol, java::lang::Object)

public:
    VMPtr<Connection> openConnection(VMPtr<java::lang::String>, jint, jboolean) override {
        _VM_throw(java::io::IOException::create()->construct(VM_STR("refused")));
    }
};
}  // namespace failing

}  // namespace com::tarsel::sorrel::midp::io::protocol

namespace proto = com::tarsel::sorrel::midp::io::protocol;

VM_REGISTER_CLASS(proto::x_test::Protocol, .name = "com.tarsel.sorrel.midp.io.protocol.x_test.Protocol",
                  .newInstance = _VM_newInstanceOf<proto::x_test::Protocol>,
                  .interfaces = {"com.tarsel.sorrel.cldc.io.ConnectionBaseInterface",
                                 "javax.microedition.io.Connection"})
VM_REGISTER_CLASS(proto::notproto::Protocol, .name = "com.tarsel.sorrel.midp.io.protocol.notproto.Protocol",
                  .newInstance = _VM_newInstanceOf<proto::notproto::Protocol>)
VM_REGISTER_CLASS(proto::nofactory::Protocol, .name = "com.tarsel.sorrel.midp.io.protocol.nofactory.Protocol")
VM_REGISTER_CLASS(proto::failing::Protocol, .name = "com.tarsel.sorrel.midp.io.protocol.failing.Protocol",
                  .newInstance = _VM_newInstanceOf<proto::failing::Protocol>,
                  .interfaces = {"com.tarsel.sorrel.cldc.io.ConnectionBaseInterface"})

namespace {

class ConnectorTest : public VMTest {
protected:
    static VMPtr<java::lang::String> s(const char* t) { return java::lang::String::_VM_fromUTF8(t); }
};

TEST_F(ConnectorTest, TheSchemeNamesTheProtocolClass) {
    VMPtr<Connection> c = Connector::open(s("x-test:host:1234/path"));
    EXPECT_NE(dynamic_cast<proto::x_test::Protocol*>(c.get()), nullptr);
    EXPECT_EQ(proto::x_test::Protocol::lastName, "x-test:host:1234/path");  // whole and unchanged
    EXPECT_EQ(proto::x_test::Protocol::lastMode, Connector::READ_WRITE);
    EXPECT_FALSE(proto::x_test::Protocol::lastTimeouts);

    Connector::open(s("x_test:a"), Connector::READ);
    EXPECT_EQ(proto::x_test::Protocol::lastMode, Connector::READ);
    EXPECT_FALSE(proto::x_test::Protocol::lastTimeouts);
    Connector::open(s("x_test:b"), Connector::WRITE, true);
    EXPECT_EQ(proto::x_test::Protocol::lastName, "x_test:b");
    EXPECT_EQ(proto::x_test::Protocol::lastMode, Connector::WRITE);
    EXPECT_TRUE(proto::x_test::Protocol::lastTimeouts);
    Connector::open(s("x-test:"), 77);  // the mode is the protocol's business
    EXPECT_EQ(proto::x_test::Protocol::lastMode, 77);

    VMPtr<Connection> http = Connector::open(s("http://127.0.0.1:1/"));
    EXPECT_EQ(http->getClass()->name.c_str(), std::string("com.tarsel.sorrel.midp.io.protocol.http.Protocol"));
    http->close();
    VMPtr<Connection> https = Connector::open(s("https://127.0.0.1:1/"));
    EXPECT_EQ(https->getClass()->name.c_str(), std::string("com.tarsel.sorrel.midp.io.protocol.https.Protocol"));
    https->close();
}

TEST_F(ConnectorTest, Refusals) {
    struct Case {
        const char* url;  // null for a null name
        const char* thrown;
    };
    const Case cases[] = {
        {nullptr, "java.lang.IllegalArgumentException: Null URL"},
        {":http//x", "java.lang.IllegalArgumentException: empty protocol in URL"},
        {"http//x", "java.lang.IllegalArgumentException: no ':' in URL"},
        {"", "java.lang.IllegalArgumentException: no ':' in URL"},
        {"HTTP://x/",
         "javax.microedition.io.ConnectionNotFoundException: The requested protocol does not exist HTTP://x/"},
        {"nosuch:x",
         "javax.microedition.io.ConnectionNotFoundException: The requested protocol does not exist nosuch:x"},
        {"notproto:x", "java.io.IOException: java.lang.ClassCastException"},
        {"nofactory:x", "java.io.IOException: java.lang.IllegalAccessException"},
        {"failing:x", "java.io.IOException: refused"},
        {"http:no-host", "java.io.IOException: HAL_createHTTPConnection error: 2"},
        {"http://a b/", "java.io.IOException: HAL_createHTTPConnection error: 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url ? c.url : "null");
        EXPECT_EQ(VM_THROWN_TEXT(Connector::open(c.url ? s(c.url) : nullptr)), c.thrown);
    }
    EXPECT_EQ(VM_THROWN_CLASS(Connector::open(s("HTTP://x/"))), "javax.microedition.io.ConnectionNotFoundException");
}

TEST_F(ConnectorTest, WithoutTheProtocolPackageNothingIsFound) {
    _VM_ensureInitialized(Connector::_VM_classRecord);
    VMPtr<java::lang::String> saved = Connector::classRoot;
    EXPECT_EQ(text(saved), "com.tarsel.sorrel.midp.io.protocol");
    Connector::classRoot = VM_STR("com.tarsel.sorrel.io.");  // the class's own fallback
    const std::string http = VM_THROWN_CLASS(Connector::open(s("http://127.0.0.1/")));
    const std::string test = VM_THROWN_CLASS(Connector::open(s("x-test:a")));
    Connector::classRoot = saved;
    EXPECT_EQ(http, "javax.microedition.io.ConnectionNotFoundException");
    EXPECT_EQ(test, "javax.microedition.io.ConnectionNotFoundException");
}

TEST_F(ConnectorTest, PushRegistryRefusesEveryAlarm) {
    for (jlong time : {0LL, -1LL, 1234567890123LL}) {
        EXPECT_EQ(VM_THROWN_TEXT(javax::microedition::io::PushRegistry::registerAlarm(s("ZedIRIvoz"), time)),
                  "javax.microedition.io.ConnectionNotFoundException: not supported");
    }
    EXPECT_EQ(VM_THROWN_CLASS(javax::microedition::io::PushRegistry::registerAlarm(nullptr, 0)),
              "javax.microedition.io.ConnectionNotFoundException");
}

}  // namespace
