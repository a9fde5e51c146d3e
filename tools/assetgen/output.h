// Writing the generated files into their folder.
#pragma once

#include <map>
#include <string>

#include "bytes.h"

namespace assetgen {

// Writes each file through a temporary file renamed into place (files whose
// content is already there are left untouched), then removes the files that
// the previous run wrote and this one did not (listed in ".assetgen-files").
// Returns an empty text, or what went wrong.
std::string writeFolder(const std::string& folder, const std::map<std::string, Bytes>& files);

}  // namespace assetgen
