#include "base/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include "base/interruption.h"

namespace vesk {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, int error) {
    throw FileWriteError("Cannot write " + path.string() + ": " + std::strerror(error));
}

// A replaced file keeps its permissions; a new one gets the usual ones rather than mkstemp's
// owner-only ones.
mode_t permissions_for(const std::filesystem::path& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Closes and removes the temporary file unless it was handed over by a rename.
class TempFile {
public:
    explicit TempFile(const std::filesystem::path& target) {
        std::string pattern = target.string() + ".tmp-XXXXXX";
        name_.assign(pattern.begin(), pattern.end());
        name_.push_back('\0');
        fd_ = ::mkstemp(name_.data());
        if (fd_ < 0) fail(target, errno);
        watch_.emplace(name_.data());
    }
    ~TempFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!renamed_) ::unlink(name_.data());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void write_all(std::string_view content, const std::filesystem::path& target) {
        while (!content.empty()) {
            const ssize_t written = ::write(fd_, content.data(), content.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                fail(target, errno);
            }
            content.remove_prefix(static_cast<std::size_t>(written));
        }
        ::fchmod(fd_, permissions_for(target));
        // The descriptor is closed whatever fsync says; the first failure is the one reported.
        const int synced = ::fsync(fd_) == 0 ? 0 : errno;
        const int closed = ::close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        if (synced != 0) fail(target, synced);
        if (closed != 0) fail(target, closed);
    }

    void rename_to(const std::filesystem::path& target) {
        if (::rename(name_.data(), target.c_str()) != 0) fail(target, errno);
        renamed_ = true;
    }

private:
    std::vector<char> name_;
    std::optional<TemporaryFileWatch> watch_;
    int fd_ = -1;
    bool renamed_ = false;
};

std::size_t last_separator(std::string_view path, std::string_view separators) {
    return path.find_last_of(separators);
}

}  // namespace

void write_file_atomically(const std::filesystem::path& path, std::string_view content) {
    TempFile temp(path);
    temp.write_all(content, path);
    temp.rename_to(path);
}

std::string file_name_part(std::string_view path) {
    const auto at = last_separator(path, "/\\:");
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string file_name_without_xml(std::string_view path) {
    std::string name = file_name_part(path);
    if (name.size() > 4 && name.ends_with(".xml")) name.resize(name.size() - 4);
    return name;
}

std::string file_name_safe(std::string_view text) {
    std::string safe(text);
    for (char& c : safe)
        if (c == '/' || c == '\\') c = '_';
    return safe;
}

std::string folder_part(std::string_view path) {
    const auto at = last_separator(path, "/\\");
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::int64_t content_size(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path, error));
    if (error) return 0;
    std::ifstream in(path, std::ios::binary);
    unsigned char magic[2] = {0, 0};
    if (!in.read(reinterpret_cast<char*>(magic), 2) || magic[0] != 0x1f || magic[1] != 0x8b)
        return size;
    // The last four bytes of a gzip file: the uncompressed size modulo 2^32, little-endian.
    unsigned char trailer[4] = {0, 0, 0, 0};
    if (size < 18 || !in.seekg(size - 4) || !in.read(reinterpret_cast<char*>(trailer), 4)) return 0;
    const std::int64_t stated = std::int64_t{trailer[0]} | std::int64_t{trailer[1]} << 8 |
                                std::int64_t{trailer[2]} << 16 | std::int64_t{trailer[3]} << 24;
    // Deflate never grows data by more than its header, trailer and five bytes a block: a
    // smaller statement has wrapped past 4 GiB or belongs to another member.
    const std::int64_t largest_growth = 18 + 5 * (stated / 16383 + 1);
    return stated + largest_growth >= size ? stated : 0;
}

}  // namespace vesk
