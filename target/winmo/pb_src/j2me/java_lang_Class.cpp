// java.lang.Class: the class record of every class, interface and array class.
#include "java_lang_Class.h"

#include <cstddef>
#include <string>

#include "VMClass.h"
#include "VMThrow.h"
#include "com_tarsel_sorrel_cldc_io_ResourceInputStream.h"
#include "java_lang_String.h"

namespace java::lang {

Class* Class::getClass() { return _VM_classRecord; }

VMPtr<String> Class::getName() { return String::_VM_fromUTF8(name.c_str()); }

VMPtr<String> Class::toString() {
    std::string text = isInterfaceFlag ? "interface " : "class ";
    text += name.c_str();
    return String::_VM_fromUTF8(text.c_str());
}

jboolean Class::isInstance(VMPtr<Object> obj) { return _VM_instanceOf(_VM_classRegistry(), obj.target, this); }

jboolean Class::isAssignableFrom(Class* cls) {
    if (cls == nullptr) _VM_throwNullPointer();
    return _VM_isAssignable(_VM_classRegistry(), cls, this);
}

Class* Class::forName(VMPtr<String> className) {
    if (className == nullptr) _VM_throwNullPointer();
    VMCString text;
    className->_VM_appendToCString(&text);
    Class* found = _VM_findClass(_VM_classRegistry(), text.c_str());
    _VM_cstrFree(&text);
    if (found == nullptr) _VM_throwClassNotFoundException();
    return found;
}

VMPtr<Object> Class::newInstance() {
    if (dimensions > 0 || isInterfaceFlag || isAbstractFlag) _VM_throwInstantiationException();
    if (newInstanceFunction == nullptr) _VM_throwIllegalAccessException();
    VMPtr<Object> object = newInstanceFunction();
    if (object == nullptr) _VM_throwIllegalAccessException();
    return object;
}

VMPtr<String> Class::_VM_resolveName(VMPtr<String> resource) {
    if (resource == nullptr) _VM_throwNullPointer();
    // Character for character: a NUL or a lone surrogate in the name stays
    // there for the resource layer to refuse.
    if (resource->length() > 0 && resource->charAt(0) == '/') return resource->substring(1);
    std::string className = name.c_str();
    size_t dot = className.rfind('.');
    if (dot == std::string::npos) return resource;
    std::u16string path(className.begin(), className.begin() + std::ptrdiff_t(dot + 1));
    for (char16_t& c : path)
        if (c == u'.') c = u'/';
    path.append(reinterpret_cast<const char16_t*>(resource->_VM_chars()), size_t(resource->length()));
    return String::create()->_VM_initLength(reinterpret_cast<const jchar*>(path.data()), jint(path.size()));
}

VMPtr<java::io::InputStream> Class::getResourceAsStream(VMPtr<String> resource) {
    VMPtr<String> resolved = _VM_resolveName(resource);
    return com::tarsel::sorrel::cldc::io::ResourceInputStream::create()->construct(resolved);
}

}  // namespace java::lang

VM_REGISTER_CLASS(java::lang::Class, .name = "java.lang.Class")
