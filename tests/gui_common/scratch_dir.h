// A fresh directory of its own for each test, removed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

class ScratchDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* unitTest = ::testing::UnitTest::GetInstance();
        m_dir =
            std::filesystem::temp_directory_path() /
            ("veldron_" + std::string(unitTest->current_test_info()->test_suite_name()) + "_" +
             unitTest->current_test_info()->name() + "_" + std::to_string(unitTest->random_seed()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    /// Writes `text` byte for byte into the file `name` of the directory.
    std::filesystem::path write(const char* name, const std::string& text) {
        std::ofstream(m_dir / name, std::ios::binary) << text;
        return m_dir / name;
    }

    std::filesystem::path m_dir;
};
