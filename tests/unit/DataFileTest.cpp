#include "files/DataFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

TEST(DataFile, AFileUpToTheCapOpensAndOneByteMoreIsRefused) {
    const std::string path = ::testing::TempDir() + "hexaglint-data-file-cap";
    for (const std::uint64_t size : {kMaxDataFileBytes, kMaxDataFileBytes + 1}) {
        std::ofstream{path};
        ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0); // sparse: nothing written
        std::FILE* file = openDataFile(path.c_str());
        EXPECT_EQ(file != nullptr, size == kMaxDataFileBytes) << size << " bytes";
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    std::remove(path.c_str());
}
