#pragma once
// A scratch folder for one test, removed with everything in it at the end of the test.

#include <filesystem>
#include <string>

namespace vesk::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes the file (relative to the folder) and returns its full path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

}  // namespace vesk::test
