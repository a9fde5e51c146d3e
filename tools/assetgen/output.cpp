#include "output.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace assetgen {

namespace {

namespace fs = std::filesystem;

constexpr const char* kManifest = ".assetgen-files";

bool sameContent(const fs::path& path, const Bytes& data) {
    std::error_code error;
    if (fs::file_size(path, error) != data.size() || error) return false;
    std::ifstream in(path, std::ios::binary);
    Bytes existing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return existing == data;
}

// Writes a temporary file beside `path` and renames it over `path`.
std::string replaceFile(const fs::path& path, const std::string& content) {
    const fs::path temporary = path.string() + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return "cannot write " + temporary.string();
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        return "cannot rename into " + path.string();
    }
    return "";
}

}  // namespace

std::string writeFolder(const std::string& folder, const std::map<std::string, Bytes>& files) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return "cannot make " + folder + ": " + error.message();
    const fs::path root(folder);

    std::set<std::string> previous;
    {
        std::ifstream in(root / kManifest);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.find('/') == std::string::npos) previous.insert(line);
        }
    }
    std::ostringstream manifest;
    for (const auto& [name, data] : files) {
        manifest << name << '\n';
        const fs::path path = root / name;
        if (sameContent(path, data)) continue;
        std::string failed = replaceFile(path, std::string(data.begin(), data.end()));
        if (!failed.empty()) return failed;
    }
    std::string failed = replaceFile(root / kManifest, manifest.str());
    if (!failed.empty()) return failed;
    for (const std::string& name : previous) {
        if (!files.count(name)) fs::remove(root / name, error);
    }
    return "";
}

}  // namespace assetgen
