// ts.io.resource.ChunkVirtualFileSystemOrganization: where a chunked pack's resources lie.
#include "ts_io_resource_ChunkVirtualFileSystemOrganization.h"

#include "java_io_ByteArrayInputStream.h"
#include "java_io_EOFException.h"

namespace ts::io::resource {

using java::io::DataInputStream;
using java::lang::String;

VMStatic<ts::util::IntHashtable> ChunkVirtualFileSystemOrganization::typeTable;

void ChunkVirtualFileSystemOrganization::_VM_clinit() { typeTable = nullptr; }

VMPtr<ChunkVirtualFileSystemOrganization> ChunkVirtualFileSystemOrganization::construct(VMPtr<DataInputStream> in) {
    Super::construct(FILE_SYSTEM_ID, in);
    VMPtr<VMArray<jbyte, 1>> data = getData();
    VMPtr<DataInputStream> table =
        DataInputStream::create()->construct(java::io::ByteArrayInputStream::create()->construct(data));
    headerWord = table->readInt();
    const jint n = table->readInt();
    if (n < 0) _VM_throwNegativeArraySizeException();
    // Every entry must be there before the table is sized from the count.
    if (n > (data->length - 8) / 12) _VM_throw(java::io::EOFException::create()->construct());
    count = n;
    VMPtr<VMArray<jint, 1>> parsed = VMArray<jint, 1>::create(n * 4);
    jint* e = parsed->elements();
    for (jint i = 0; i < n; ++i) {
        e[4 * i] = table->readByte();
        table->readByte();
        e[4 * i + 1] = table->readChar();
        e[4 * i + 2] = table->readInt();
        e[4 * i + 3] = table->readInt();
    }
    entries = parsed;
    return this;
}

jint ChunkVirtualFileSystemOrganization::field(jint id, jint which) {
    const jint index = id & 0x3FF;
    if (index >= count) _VM_throwArrayIndexOutOfBoundsException(index);
    return entries->elements()[4 * index + which];
}

jint ChunkVirtualFileSystemOrganization::getFileNumber(jint id) { return field(id, 1); }

jint ChunkVirtualFileSystemOrganization::getHeaderWord() { return headerWord; }

VMPtr<String> ChunkVirtualFileSystemOrganization::getExtension(jint id) {
    const jint code = field(id, 0);
    VMPtr<java::lang::Object> s = getTypeTable()->get(code);
    if (s == nullptr) return VM_STR("rp");
    return dynamic_cast<String*>(s.get());
}

jint ChunkVirtualFileSystemOrganization::getCount() { return count; }

jint ChunkVirtualFileSystemOrganization::getType(jint id) { return field(id, 0); }

jint ChunkVirtualFileSystemOrganization::getWord(jint id) { return field(id, 3); }

jint ChunkVirtualFileSystemOrganization::getOffset(jint id) { return field(id, 2); }

VMPtr<ts::util::IntHashtable> ChunkVirtualFileSystemOrganization::getTypeTable() {
    _VM_ensureInitialized(_VM_classRecord);
    if (typeTable == nullptr) {
        static constexpr struct {
            jint code;
            const char* extension;
        } types[] = {
            {0, "mid"},  {1, "wav"},    {2, "mp3"},  {3, "amr"},  {4, "aac"},  {5, "au"},   {6, "qcp"},
            {7, "ott"},  {8, "jts"},    {9, "imy"},  {10, "mmf"}, {11, "cmx"}, {12, "adp"}, {14, "3gp"},
            {15, "3g2"}, {16, "263"},   {17, "264"}, {18, "mpg"}, {19, "mp4"}, {20, "rv"},  {21, "wmv"},
            {22, "mov"}, {23, "wbxml"}, {24, "gif"}, {25, "caf"}, {26, "ogg"}, {27, "wma"}, {28, "m4a"},
            {-1, "rp"},  {-3, "png"},   {-4, "jpg"}, {-6, "utf"}, {-7, "txt"}, {-12, "rp"},
        };
        VMPtr<ts::util::IntHashtable> table = ts::util::IntHashtable::create()->construct(128);
        for (const auto& t : types) table->put(t.code, String::_VM_intern(t.extension));
        typeTable = table;
    }
    return typeTable;
}

}  // namespace ts::io::resource

VM_REGISTER_CLASS(ts::io::resource::ChunkVirtualFileSystemOrganization,
                  .name = "ts.io.resource.ChunkVirtualFileSystemOrganization",
                  .staticInit = ts::io::resource::ChunkVirtualFileSystemOrganization::_VM_clinit)
