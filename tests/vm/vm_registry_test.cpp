// One walk over the whole class registry: catches a wrong class declaration
// or registration anywhere in the program, now and later.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "VM.h"
#include "vm_test.h"

using java::lang::Class;
using java::lang::Object;

// A class registered without a source name: it gets its file's.
namespace vmregistrytest {
class Plain : public virtual Object {
    VM_DECLARE_CLASS(Plain, Object)
};
}  // namespace vmregistrytest

VM_REGISTER_CLASS(vmregistrytest::Plain, .name = "vmregistrytest.Plain")

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
            // The game pad and the story board load their pictures when made,
            // which this test program's resources do not hold; their own
            // tests make them.
            const std::string name = record->name.c_str();
            if (name == "scene.ingame.GamePad" || name == "scene.ingame.InGameStoryBoard") continue;
            VMPtr<Object> instance;
            ASSERT_EQ(VM_THROWN_CLASS(instance = record->newInstance()), "");
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
                EXPECT_TRUE(_VM_instanceOf(registry, instance.get(), other))
                    << "not registered as a " << other->name.c_str();
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

// A class's source name is the file that registers it, from the top of the
// tree and without its extension, unless the registration names another.
TEST_F(VMRegistryWalkTest, SourceNamesAreTheRegisteringFilesUnlessNamedByHand) {
    const struct {
        const char* className;
        const char* sourceName;
    } cases[] = {
        {"java.lang.Object", "target/winmo/pb_src/vm/VMObject"},
        {"com.tarsel.sorrel.vm.Finalizer", "target/winmo/pb_src/vm/VMFinalizer"},
        {"javax.microedition.lcdui.Display", "target/winmo/pb_src/j2me/javax_microedition_lcdui_Display"},
        {"java.io.ByteArrayInputStream", "target/winmo/pb_src/j2me/java_io_ByteArrayInputStream"},
        {"vmregistrytest.Plain", "tests/vm/vm_registry_test"},
        // Kept in another class's file, named by hand.
        {"java.util.HashtableEntry", "target/winmo/pb_src/j2me/java_util_Hashtable"},
        {"java.util.VectorEnumerator", "target/winmo/pb_src/j2me/java_util_Vector"},
    };
    for (const auto& c : cases) {
        Class* record = _VM_findClass(c.className);
        ASSERT_NE(record, nullptr) << c.className;
        EXPECT_STREQ(record->sourceName, c.sourceName) << c.className;
    }

    // Every declared class's source name names a file of the tree.
    const std::filesystem::path root = std::filesystem::path(VESSILO_SOURCE_ROOT);
    for (Class* record : registeredClasses()) {
        if (record->cppInstanceOf == nullptr) continue;
        const std::string name = record->sourceName;
        EXPECT_TRUE(!name.empty() && name[0] != '/' && std::filesystem::exists(root / (name + ".cpp")))
            << record->name.c_str() << ": \"" << name << "\"";
    }
}

}  // namespace
