#pragma once
// Files written whole or not at all, and the folders the program works in.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vesk {

// A file that could not be written; what() names the path and the reason.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the content to a temporary file beside `path`, then renames it over `path`: a failed
// write leaves an existing file untouched and no partial file under the final name.
void write_file_atomically(const std::filesystem::path& path, std::string_view content);

// The file-name part of a path: after the last "/", "\" or ":".
std::string file_name_part(std::string_view path);
// The file-name part without a final ".xml".
std::string file_name_without_xml(std::string_view path);
// Text from a log used as part of a file name: "/" and "\" become "_", so that it names a file
// in the folder it is written to and never a path elsewhere.
std::string file_name_safe(std::string_view text);
// The folder part of a path, up to and including the last "/" or "\"; empty when there is none.
std::string folder_part(std::string_view path);

// The bytes a reader of the file gets: its size, or for a gzip file the size its trailer gives
// when that is plausible (deflate could have made that much into the file). 0 when unknown or
// unreadable.
std::int64_t content_size(const std::filesystem::path& path);

}  // namespace vesk
