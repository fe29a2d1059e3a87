#include "base/file_util.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace vesk {
namespace {

std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t files_in(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(AtomicWrite, ReplacesTheFileWhole) {
    test::TempDir dir;
    const auto path = dir.path() / "out.xml";
    write_file_atomically(path, "first");
    write_file_atomically(path, "second\r\n");
    EXPECT_EQ(read(path), "second\r\n");
    EXPECT_EQ(files_in(dir.path()), 1u);
}

TEST(AtomicWrite, AWriteThatFailsHalfWayLeavesTheOldFileAndNoLeftovers) {
    test::TempDir dir;
    const auto path = dir.path() / "out.xml";
    write_file_atomically(path, "old content");
    // A child process with a file-size limit: its write stops after 1000 bytes.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            write_file_atomically(path, std::string(100000, 'x'));
        } catch (const FileWriteError& error) {
            const bool names_path =
                std::string(error.what()).find(path.string()) != std::string::npos;
            _exit(names_path ? 0 : 2);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write was not reported with its path";
    EXPECT_EQ(read(path), "old content");
    EXPECT_EQ(files_in(dir.path()), 1u);
}

TEST(AtomicWrite, AnUnwritableFolderIsAnErrorNamingThePath) {
    test::TempDir dir;
    const std::string not_a_folder = dir.write("plain", "x");
    const auto path = std::filesystem::path(not_a_folder) / "out.xml";
    try {
        write_file_atomically(path, "x");
        FAIL() << "no error";
    } catch (const FileWriteError& error) {
        EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos);
    }
}

// A gzip file of one stored block, made by hand: its trailer states the size of what it holds.
std::string gzip_of(const std::string& content, std::uint32_t stated_size) {
    std::string bytes = {'\x1f', '\x8b', 8, 0, 0, 0, 0, 0, 0, '\xff'};
    const auto length = static_cast<std::uint16_t>(content.size());
    bytes += {1, static_cast<char>(length & 0xff), static_cast<char>(length >> 8),
              static_cast<char>(~length & 0xff), static_cast<char>((~length >> 8) & 0xff)};
    bytes += content;
    bytes += std::string(4, '\0');  // the checksum, which the size does not need
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((stated_size >> shift) & 0xff);
    return bytes;
}

TEST(ContentSize, PlainFilesByTheirSizeGzipByTheirTrailer) {
    test::TempDir dir;
    const std::string content(300, 'x');
    EXPECT_EQ(content_size(dir.write("plain.xml", content)), 300);
    EXPECT_EQ(content_size(dir.write("log.xes.gz", gzip_of(content, 300))), 300);
    // A trailer below the compressed size has wrapped past 4 GiB or belongs to another member.
    EXPECT_EQ(content_size(dir.write("odd.xes.gz", gzip_of(content, 5))), 0);
    EXPECT_EQ(content_size(dir.path() / "missing.xml"), 0);
}

TEST(FileNames, NameAndFolderParts) {
    EXPECT_EQ(file_name_part("/data/logs/log.xml"), "log.xml");
    EXPECT_EQ(file_name_part("C:\\logs\\log.xml"), "log.xml");
    EXPECT_EQ(file_name_part("C:log.xml"), "log.xml");
    EXPECT_EQ(file_name_part("log.xml"), "log.xml");
    EXPECT_EQ(folder_part("/data/logs/log.xml"), "/data/logs/");
    EXPECT_EQ(folder_part("C:\\logs\\log.xml"), "C:\\logs\\");
    EXPECT_EQ(folder_part("log.xml"), "");
}

}  // namespace
}  // namespace vesk
