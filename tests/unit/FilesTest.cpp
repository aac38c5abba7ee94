// The user's files: a file replaced while others replace and read it.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "files/UserFiles.h"

namespace {

namespace fs = std::filesystem;

// Two programs save the kept targets at the same moment while a third reads them: every save
// succeeds, and the reader sees one whole content or the other, never an empty or a torn file.
TEST(Files, ConcurrentSavesAreEachWholeAndNeverTorn) {
    const fs::path dir =
        fs::temp_directory_path() / ("lorixlog-files-" + std::to_string(std::random_device{}()));
    const std::string path = (dir / "config" / "targets").string();
    const std::string contents[] = {std::string(100000, 'a') + "\n",
                                    std::string(150000, 'b') + "\n"};
    std::string firstError;
    ASSERT_TRUE(files::ReplaceFileContent(path, contents[0], &firstError)) << firstError;
    std::atomic<int> nFailedSaves{0};
    std::atomic<bool> bWriting{true};
    std::vector<std::thread> writers;
    for (const std::string& content : contents) {
        writers.emplace_back([&, content] {
            for (int i = 0; i < 60; ++i) {
                std::string error;
                if (!files::ReplaceFileContent(path, content, &error)) {
                    ++nFailedSaves;
                    ADD_FAILURE() << error;
                }
            }
        });
    }
    int nReads = 0;
    std::thread reader([&] {
        while (bWriting || nReads < 20) {
            std::string bytes;
            std::string error;
            const files::ReadResult result =
                files::ReadWholeFile(path, 1 << 20, &bytes, &error, files::FileKind::Regular);
            ++nReads;
            EXPECT_EQ(result, files::ReadResult::Read) << error;
            EXPECT_TRUE(bytes == contents[0] || bytes == contents[1])
                << bytes.size() << " bytes, beginning " << bytes.substr(0, 8);
        }
    });
    for (std::thread& writer : writers) {
        writer.join();
    }
    bWriting = false;
    reader.join();
    EXPECT_EQ(nFailedSaves, 0);
    std::error_code ignored;
    std::size_t nLeft = 0;
    for (const auto& entry : fs::directory_iterator(dir / "config", ignored)) {
        nLeft += entry.path().filename() != "targets" ? 1 : 0;
    }
    EXPECT_EQ(nLeft, 0u) << "no temporary file is left behind";
    fs::remove_all(dir, ignored);
}

}  // namespace
