#include "program_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "hal_system.h"

TempProgramDir::TempProgramDir(const char* tag) {
    std::string pattern = ::testing::TempDir() + tag + "_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
    root_ = pattern + "/";
    HAL_setProgramDirectory(root_.c_str());
}

TempProgramDir::~TempProgramDir() {
    HAL_setProgramDirectory(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void TempProgramDir::put(const std::string& relative, const std::string& content) const {
    std::filesystem::path path = root_ + relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file << content;
}

const std::string& testProgramDir() {
    static const std::string dir = VESSILO_TEST_PROGRAM_DIR;
    return dir;
}
