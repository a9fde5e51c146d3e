// One walk over the whole class registry: catches a wrong class declaration
// or registration anywhere in the program, now and later.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VM.h"
#include "vm_test.h"

using java::lang::Class;
using java::lang::Object;

namespace {

class VMRegistryWalkTest : public VMTest {};

std::vector<Class*> registeredClasses() {
    std::vector<Class*> classes;
    const VMStringMap& map = _VM_classRegistry()->map;
    for (uint32_t b = 0; b < map.bucketCount; ++b)
        for (VMStringMapEntry* e = map.buckets[b]; e != nullptr; e = e->next)
            classes.push_back(static_cast<Class*>(e->value));
    return classes;
}

bool isTestClass(Class* record) { return std::string(record->sourceName).rfind("tests/", 0) == 0; }

TEST_F(VMRegistryWalkTest, EverySuperClassResolvesAndEveryFactoryMakesAnInstanceOfIt) {
    VMClassRegistry* registry = _VM_classRegistry();
    Class* object = Object::_VM_classRecord;
    int made = 0;
    for (Class* record : registeredClasses()) {
        SCOPED_TRACE(record->name.c_str());
        // Arrays, and records a test made by hand, have no declaration.
        if (record->dimensions > 0 || record->cppInstanceOf == nullptr) continue;
        Class* super = _VM_superClass(registry, record);
        if (record == object) {
            EXPECT_EQ(super, nullptr);
        } else if (record->isInterfaceFlag) {
            // An interface extends nothing, or an interface.
            if (record->superName.c_str()[0] != 0) {
                ASSERT_NE(super, nullptr) << "extends " << record->superName.c_str();
                EXPECT_TRUE(super->isInterfaceFlag);
            }
        } else {
            ASSERT_NE(super, nullptr) << "super-class " << record->superName.c_str();
            EXPECT_FALSE(super->isInterfaceFlag);
            EXPECT_TRUE(_VM_isAssignable(registry, record, super));
        }

        if (isTestClass(record)) continue;  // test classes try the odd factories on purpose
        const bool instantiable = !record->isInterfaceFlag && !record->isAbstractFlag;
        if (instantiable && record->newInstanceFunction != nullptr) {
            VMPtr<Object> instance = record->newInstance();
            ASSERT_NE(instance, nullptr);
            EXPECT_EQ(instance->getClass(), record);
            if (super != nullptr) {
                EXPECT_TRUE(_VM_instanceOf(registry, instance.get(), super));
            }
            EXPECT_TRUE(_VM_instanceOf(registry, instance.get(), object));
            // Every registered class or interface the C++ object derives
            // from is one the registry says it is an instance of: a wrong
            // super-class or a missing interface shows here.
            for (Class* other : registeredClasses()) {
                if (other->cppInstanceOf == nullptr || !other->cppInstanceOf(instance.get())) continue;
                EXPECT_TRUE(_VM_instanceOf(registry, instance.get(), other)) << "not registered as a " << other->name.c_str();
            }
            ++made;
        } else {
            const std::string thrown = VM_THROWN_CLASS(record->newInstance());
            EXPECT_TRUE(thrown == "java.lang.InstantiationException" || thrown == "java.lang.IllegalAccessException")
                << thrown;
        }
    }
    EXPECT_GT(made, 10);
}

}  // namespace
