#pragma once
// The readers take file names: each fuzz input is written to one file of the process's own,
// rewritten for every input.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace vesk::fuzz {

class InputFile {
public:
    explicit InputFile(const char* suffix) {
        path_ = std::string("/tmp/vesk-fuzz-") + std::to_string(::getpid()) + suffix;
    }
    ~InputFile() { std::remove(path_.c_str()); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& write(const std::uint8_t* data, std::size_t size) {
        if (std::FILE* file = std::fopen(path_.c_str(), "wb")) {
            std::fwrite(data, 1, size, file);
            std::fclose(file);
        }
        return path_;
    }

private:
    std::string path_;
};

// A folder of the process's own for what the writers write.
inline const std::string& scratch_folder() {
    static const std::string folder = [] {
        std::string name = "/tmp/vesk-fuzz-out-" + std::to_string(::getpid());
        ::mkdir(name.c_str(), 0700);
        return name;
    }();
    return folder;
}

}  // namespace vesk::fuzz
