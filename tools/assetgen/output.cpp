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
constexpr const char* kSeedsMark = ".assetgen-seeds";

// A seeds folder as versions without the mark left it: only kind folders,
// each with its listing.
bool unmarkedSeedsFolder(const fs::path& folder) {
    static const std::set<std::string> kKinds = {"png",  "gobs",  "animset", "text", "wav",
                                                 "midi", "level", "raw",     "pack"};
    std::error_code error, ignored;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, error)) {
        if (!kKinds.count(e.path().filename().string()) || !e.is_directory(ignored) ||
            !fs::is_regular_file(e.path() / kManifest, ignored)) {
            return false;
        }
    }
    return !error;
}

// Whether `inner` is `outer` or lies inside it (both made absolute, links followed).
bool within(const fs::path& inner, const fs::path& outer) {
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty() && std::next(o) == outer.end()) break;  // a trailing '/'
        if (i == inner.end() || *i != *o) return false;
    }
    return true;
}

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

std::string checkSeedsFolder(const std::string& folder, const std::vector<std::string>& others) {
    std::error_code error;
    const fs::path seeds = fs::weakly_canonical(fs::absolute(folder, error), error);
    if (error) return folder + ": " + error.message();
    for (const std::string& other : others) {
        const fs::path path = fs::weakly_canonical(fs::absolute(other, error), error);
        if (!error && (within(seeds, path) || within(path, seeds))) {
            return folder + ": the seeds folder must lie apart from " + other;
        }
    }
    std::error_code ignored;
    const fs::file_status status = fs::symlink_status(folder, ignored);
    if (status.type() == fs::file_type::not_found) return "";
    if (status.type() != fs::file_type::directory) return folder + ": not a folder";
    if (fs::is_empty(folder, ignored) || fs::is_regular_file(fs::path(folder) / kSeedsMark, ignored) ||
        unmarkedSeedsFolder(folder)) {
        return "";
    }
    return folder + ": not a seeds folder of assetgen (it holds other files and no " + kSeedsMark +
           "): give a new or empty folder";
}

std::string writeSeeds(const std::string& folder, const std::map<std::string, Bytes>& seeds) {
    std::error_code error;
    fs::remove_all(folder, error);
    if (error) return "cannot empty " + folder + ": " + error.message();
    fs::create_directories(folder, error);
    if (error) return "cannot make " + folder + ": " + error.message();
    std::string failed =
        replaceFile(fs::path(folder) / kSeedsMark, "Seeds written by assetgen; it empties this folder.\n");
    if (!failed.empty()) return failed;
    std::map<std::string, std::map<std::string, Bytes>> byKind;
    for (const auto& [name, data] : seeds) {
        const size_t slash = name.find('/');
        byKind[name.substr(0, slash)][name.substr(slash + 1)] = data;
    }
    for (const auto& [kind, files] : byKind) {
        failed = writeFolder(folder + "/" + kind, files);
        if (!failed.empty()) return failed;
    }
    return "";
}

}  // namespace assetgen
