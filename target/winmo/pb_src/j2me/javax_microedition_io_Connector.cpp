// javax.microedition.io.Connector: opens a connection for a URL by the URL's scheme.
#include "javax_microedition_io_Connector.h"

#include "com_tarsel_sorrel_cldc_io_ConnectionBaseInterface.h"
#include "java_io_IOException.h"
#include "java_lang_Class.h"
#include "java_lang_ClassCastException.h"
#include "java_lang_ClassNotFoundException.h"
#include "java_lang_IllegalAccessException.h"
#include "java_lang_IllegalArgumentException.h"
#include "java_lang_InstantiationException.h"
#include "java_lang_StringBuffer.h"
#include "java_lang_System.h"
#include "javax_microedition_io_ConnectionNotFoundException.h"

namespace javax::microedition::io {

using java::lang::String;

VMStatic<String> Connector::classRoot;

namespace {

[[noreturn]] void throwIllegalArgument(const char* message) {
    _VM_throw(java::lang::IllegalArgumentException::create()->construct(VM_STR(message)));
}

[[noreturn]] void throwIOExceptionFor(java::lang::Throwable* caught) {
    VMPtr<java::lang::Throwable> keep(caught);
    _VM_throw(java::io::IOException::create()->construct(keep->toString()));
}

VMPtr<Connection> lookUpAndOpen(VMPtr<String> name, jint mode, jboolean timeouts) {
    if (name == nullptr) throwIllegalArgument("Null URL");
    const jint colon = name->indexOf(':');
    if (colon == 0) throwIllegalArgument("empty protocol in URL");
    if (colon < 0) throwIllegalArgument("no ':' in URL");
    VMPtr<String> scheme = name->substring(0, colon)->replace(u'-', u'_');
    VMPtr<java::lang::StringBuffer> className = java::lang::StringBuffer::create()->construct();
    className->append(VMPtr<String>(Connector::classRoot));
    className->append(u'.');
    className->append(scheme);
    className->append(".Protocol");
    java::lang::Class* protocolClass = java::lang::Class::forName(className->toString());

    VMPtr<java::lang::Object> instance;
    try {
        instance = protocolClass->newInstance();
        auto* protocol = dynamic_cast<com::tarsel::sorrel::cldc::io::ConnectionBaseInterface*>(instance.get());
        if (protocol == nullptr) _VM_throw(java::lang::ClassCastException::create()->construct());
    } catch (java::lang::InstantiationException* e) {
        throwIOExceptionFor(e);
    } catch (java::lang::IllegalAccessException* e) {
        throwIOExceptionFor(e);
    } catch (java::lang::ClassCastException* e) {
        throwIOExceptionFor(e);
    }
    VMPtr<com::tarsel::sorrel::cldc::io::ConnectionBaseInterface> protocol(
        dynamic_cast<com::tarsel::sorrel::cldc::io::ConnectionBaseInterface*>(instance.get()));
    return protocol->openConnection(name, mode, timeouts);
}

}  // namespace

void Connector::_VM_clinit() {
    classRoot = java::lang::System::getProperty(VM_STR("javax.microedition.io.Connector.protocolpath"));
    if (classRoot == nullptr) classRoot = VM_STR("com.tarsel.sorrel.io.");
}

VMPtr<Connection> Connector::open(VMPtr<String> name) { return open(name, READ_WRITE); }

VMPtr<Connection> Connector::open(VMPtr<String> name, jint mode) { return open(name, mode, false); }

VMPtr<Connection> Connector::open(VMPtr<String> name, jint mode, jboolean timeouts) {
    _VM_ensureInitialized(_VM_classRecord);
    try {
        return lookUpAndOpen(name, mode, timeouts);
    } catch (java::lang::ClassNotFoundException*) {
        VMPtr<java::lang::StringBuffer> message =
            java::lang::StringBuffer::create()->construct("The requested protocol does not exist ");
        message->append(name);
        _VM_throw(ConnectionNotFoundException::create()->construct(message->toString()));
    }
}

}  // namespace javax::microedition::io

VM_REGISTER_CLASS(javax::microedition::io::Connector, .name = "javax.microedition.io.Connector",
                  .staticInit = javax::microedition::io::Connector::_VM_clinit)
