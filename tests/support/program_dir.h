// A temporary folder that stands in for the folder beside the program file
// (rsc/, properties/, database/) for the life of the object.
#pragma once

#include <string>

class TempProgramDir {
public:
    // Makes the folder and points the platform layer at it.
    explicit TempProgramDir(const char* tag);
    // Points the platform layer back at the real folder and removes this one.
    ~TempProgramDir();
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    // Writes a file at a path relative to the folder, making its folders.
    void put(const std::string& relative, const std::string& content) const;
    // The folder itself, with a trailing '/'.
    const std::string& root() const { return root_; }

private:
    std::string root_;
};

// The tests' own program folder (the folder of the test programs, with a
// trailing '/'): the build generates the test data set of assets/test/ into
// its rsc/, so a test without a TempProgramDir reads those files.
const std::string& testProgramDir();
