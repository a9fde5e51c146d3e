// Descriptions: the JSON files of a folder (one resource pack each, schema in
// docs/formats.md) turned into the pack files they describe.
#pragma once

#include <map>
#include <stdexcept>
#include <string>

#include "bytes.h"
#include "sheet.h"

namespace assetgen {

// A description that cannot be written: the file, the field in it, the reason.
class DescriptionError : public std::runtime_error {
public:
    DescriptionError(std::string file, std::string field, const std::string& message)
        : std::runtime_error(message), file_(std::move(file)), field_(std::move(field)) {}
    const std::string& file() const { return file_; }
    const std::string& field() const { return field_; }
    // "file: field: message"
    std::string text() const;

private:
    std::string file_;
    std::string field_;
};

struct Generated {
    std::map<std::string, Bytes> files;  // pack files by name
    // Every resource and pack file by "<kind>/<name>", for fuzz corpora.
    std::map<std::string, Bytes> seeds;
    // The images, Gob lists and animation sets of each pack, by pack number
    // (for contact sheets).
    std::map<int, PackModel> models;
};

// Reads one description (its text and its file name for messages).
void describePack(const std::string& file, const std::string& text, const std::string& fontDirectory, Generated& out);

// The level stream of a level file (its text and its name for messages):
// objects give their fields by name. Throws DescriptionError.
Bytes describeLevelFile(const std::string& file, const std::string& text);

// Every "*.json" file of the folder, in name order. Throws DescriptionError.
Generated generateFolder(const std::string& folder, const std::string& fontDirectory);

}  // namespace assetgen
