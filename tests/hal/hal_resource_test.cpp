// Resource files: opening by relative name under rsc/, refusing names that
// could reach outside it, positioned reads, sizes and whole-file loads.
#include "hal_resource.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "hal_system.h"
#include "program_dir.h"

namespace {

// A program directory of its own with an rsc/ folder, for the test's run.
class HalResourceTest : public ::testing::Test {
protected:
    TempProgramDir dir{"hal_resource"};
    const std::string& root = dir.root();  // the program directory, with a trailing '/'

    void SetUp() override {
        put("rsc/three.bin", "abc");
        put("rsc/empty.bin", "");
        put("rsc/sub/inner.txt", "inner");
        put("rsc/\xC3\xA9t\xC3\xA9.txt", "summer");
        put("rsc/...", "dots");
        put("rsc/\xED\xA0\xBD\xED\xB8\x80.txt", "smile");  // U+1F600 as the runtime's codec writes it
        put("secret.txt", "outside");
    }
    void put(const std::string& relative, const std::string& content) { dir.put(relative, content); }

    static int open(const std::u16string& name, HAL_ResourceFile** file) {
        return HAL_openResource(file, name.data(), int32_t(name.size()));
    }
    // The whole content through a fresh handle, or the status as text.
    static std::string contentOf(const std::u16string& name) {
        HAL_ResourceFile* file = nullptr;
        int status = open(name, &file);
        if (status != HAL_OK) return "status " + std::to_string(status);
        std::string content(size_t(HAL_getResourceSize(file)), '\0');
        int32_t count = int32_t(content.size());
        status = HAL_readResource(file, content.data(), 0, &count);
        HAL_closeResource(file);
        if (status != HAL_OK) return "read status " + std::to_string(status);
        content.resize(size_t(count));
        return content;
    }
};

TEST_F(HalResourceTest, OpensAndReadsAtOffsets) {
    HAL_ResourceFile* file = nullptr;
    ASSERT_EQ(open(u"three.bin", &file), HAL_OK);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(HAL_getResourceSize(file), 3);

    char buffer[8] = {};
    int32_t count = 2;
    EXPECT_EQ(HAL_readResource(file, buffer, 1, &count), HAL_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::string(buffer, 2), "bc");

    count = 8;  // more than is left
    EXPECT_EQ(HAL_readResource(file, buffer, 2, &count), HAL_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(buffer[0], 'c');

    count = 4;  // at and beyond the end: nothing, still success
    EXPECT_EQ(HAL_readResource(file, buffer, 3, &count), HAL_OK);
    EXPECT_EQ(count, 0);
    count = 4;
    EXPECT_EQ(HAL_readResource(file, buffer, 1000, &count), HAL_OK);
    EXPECT_EQ(count, 0);
    HAL_closeResource(file);
}

TEST_F(HalResourceTest, FoldersUnicodeNamesAndDirectorySpellings) {
    EXPECT_EQ(contentOf(u"sub/inner.txt"), "inner");
    EXPECT_EQ(contentOf(u"sub\\inner.txt"), "inner");
    EXPECT_EQ(contentOf(u"\u00E9t\u00E9.txt"), "summer");
    EXPECT_EQ(contentOf(u"..."), "dots");                // three dots are a name, not a step up
    EXPECT_EQ(contentOf(u"\xD83D\xDE00.txt"), "smile");  // each half of a pair encoded on its own
    EXPECT_EQ(contentOf(u"empty.bin"), "");
    EXPECT_EQ(contentOf(u"./three.bin"), "abc");

    // Without a trailing separator the directory is still a folder.
    std::string bare = root.substr(0, root.size() - 1);
    HAL_setProgramDirectory(bare.c_str());
    EXPECT_EQ(contentOf(u"three.bin"), "abc");
}

TEST_F(HalResourceTest, MissingFilesAndFoldersAreNotFound) {
    HAL_ResourceFile* file = reinterpret_cast<HAL_ResourceFile*>(uintptr_t(1));
    EXPECT_EQ(open(u"missing.bin", &file), HAL_NOT_FOUND);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(open(u"sub", &file), HAL_NOT_FOUND);  // a folder is no resource
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(open(u"secret.txt", &file), HAL_NOT_FOUND);  // only rsc/ is searched
    // A pipe in a file's place is no resource, and opening it does not wait
    // for a writer.
    ASSERT_EQ(::mkfifo((dir.root() + "rsc/pipe.bin").c_str(), 0600), 0);
    EXPECT_EQ(open(u"pipe.bin", &file), HAL_NOT_FOUND);
}

TEST_F(HalResourceTest, BadNamesAreRefusedBeforeAnyOpen) {
    for (const std::u16string& name :
         {std::u16string(u"/etc/passwd"), std::u16string(u"\\secret.txt"), std::u16string(u".."),
          std::u16string(u"../secret.txt"), std::u16string(u"a/../b"), std::u16string(u"sub/../three.bin"),
          std::u16string(u"sub\\..\\..\\secret.txt"), std::u16string(u"sub/.."), std::u16string(u"three.bin\0x", 11),
          std::u16string(1, u'\0'), std::u16string(u"a\xD800.bin"), std::u16string(u"\xDC00")}) {
        HAL_ResourceFile* file = reinterpret_cast<HAL_ResourceFile*>(uintptr_t(1));
        EXPECT_EQ(open(name, &file), HAL_BAD_ARGUMENT) << std::string(name.begin(), name.end());
        EXPECT_EQ(file, nullptr);
    }
    HAL_ResourceFile* file = nullptr;
    EXPECT_EQ(HAL_openResource(&file, u"three.bin", 0), HAL_BAD_ARGUMENT);  // empty
    EXPECT_EQ(HAL_openResource(&file, u"three.bin", -1), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_openResource(&file, nullptr, 3), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_openResource(nullptr, u"three.bin", 9), HAL_BAD_ARGUMENT);
}

TEST_F(HalResourceTest, OverlongPathsCannotBeBuilt) {
    std::u16string name(5000, u'x');
    HAL_ResourceFile* file = nullptr;
    EXPECT_EQ(open(name, &file), HAL_OUT_OF_MEMORY);
    EXPECT_EQ(file, nullptr);
}

TEST_F(HalResourceTest, ReadsCheckTheirArguments) {
    HAL_ResourceFile* file = nullptr;
    ASSERT_EQ(open(u"three.bin", &file), HAL_OK);
    char buffer[4];
    int32_t count = 1;
    EXPECT_EQ(HAL_readResource(nullptr, buffer, 0, &count), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_readResource(file, nullptr, 0, &count), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_readResource(file, buffer, 0, nullptr), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_readResource(file, buffer, -1, &count), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_readResource(file, buffer, INT64_MAX, &count), HAL_BAD_ARGUMENT);
    count = -1;
    EXPECT_EQ(HAL_readResource(file, buffer, 0, &count), HAL_BAD_ARGUMENT);
    count = 0;
    EXPECT_EQ(HAL_readResource(file, buffer, 0, &count), HAL_OK);
    EXPECT_EQ(count, 0);
    HAL_closeResource(file);

    EXPECT_EQ(HAL_getResourceSize(nullptr), -1);
    HAL_closeResource(nullptr);
}

TEST_F(HalResourceTest, LoadsWholeResources) {
    uint8_t* buffer = nullptr;
    int32_t size = -1;
    ASSERT_EQ(HAL_loadResource(u"sub/inner.txt", 13, &buffer, &size), HAL_OK);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size_t(size)), "inner");
    HAL_free(buffer);

    ASSERT_EQ(HAL_loadResource(u"empty.bin", 9, &buffer, &size), HAL_OK);
    EXPECT_EQ(size, 0);
    HAL_free(buffer);

    EXPECT_EQ(HAL_loadResource(u"missing", 7, &buffer, &size), HAL_NOT_FOUND);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(HAL_loadResource(u"../secret.txt", 13, &buffer, &size), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_loadResource(u"three.bin", 9, nullptr, &size), HAL_BAD_ARGUMENT);
    EXPECT_EQ(HAL_loadResource(u"three.bin", 9, &buffer, nullptr), HAL_BAD_ARGUMENT);
}

}  // namespace
