// Writing the generated files into their folder.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "bytes.h"

namespace assetgen {

// Writes each file through a temporary file renamed into place (files whose
// content is already there are left untouched), then removes the files that
// the previous run wrote and this one did not (listed in ".assetgen-files").
// Returns an empty text, or what went wrong.
std::string writeFolder(const std::string& folder, const std::map<std::string, Bytes>& files);

// Whether the seeds folder may be emptied and filled: it does not exist yet,
// is empty, or is one that this program made (it holds ".assetgen-seeds"),
// and it neither is nor holds nor lies in one of `others`. Returns an empty
// text, or why not.
std::string checkSeedsFolder(const std::string& folder, const std::vector<std::string>& others);
// Empties a folder that checkSeedsFolder allowed, marks it as this
// program's own and writes the seeds ("<kind>/<name>") into FOLDER/<kind>/.
std::string writeSeeds(const std::string& folder, const std::map<std::string, Bytes>& seeds);

}  // namespace assetgen
