// Creating and replacing a project directory: what is done and what is said.
#include "gui/common/project_directory.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ProjectDirectory : public ::testing::Test {
protected:
    veldron::testing::TempDir temp;
    const fs::path root = temp.path();
};

TEST_F(ProjectDirectory, CreatesOneLevel) {
    const gui::ProjectDirectoryResult result = gui::createProjectDirectory(root / "Akce1");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "Projekt byl založen");
    EXPECT_TRUE(fs::is_directory(root / "Akce1"));
    EXPECT_TRUE(gui::projectDirectoryExists(root / "Akce1"));
}

TEST_F(ProjectDirectory, SaysWhyNothingWasCreated) {
    const gui::ProjectDirectoryResult empty = gui::createProjectDirectory("");
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.message, "Projekt nebyl založen: název projektu je prázdný.");

    const gui::ProjectDirectoryResult noParent = gui::createProjectDirectory(root / "a" / "b");
    EXPECT_FALSE(noParent.ok);
    EXPECT_NE(noParent.message.find("nadřazený adresář neexistuje"), std::string::npos)
        << noParent.message;
    EXPECT_FALSE(fs::exists(root / "a"));

    std::ofstream(root / "soubor") << "x";
    const gui::ProjectDirectoryResult file = gui::createProjectDirectory(root / "soubor");
    EXPECT_FALSE(file.ok);
    EXPECT_EQ(file.message.rfind("Projekt nebyl založen: adresář ", 0), 0u) << file.message;
    EXPECT_FALSE(gui::projectDirectoryExists(root / "soubor"));
}

TEST_F(ProjectDirectory, NeverTouchesADirectoryWithContent) {
    fs::create_directories(root / "Akce1" / "vnoreny");
    std::ofstream(root / "Akce1" / "data.txt") << "výsledky";
    const gui::ProjectDirectoryResult result = gui::replaceProjectDirectory(root / "Akce1");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("není prázdný"), std::string::npos) << result.message;
    EXPECT_TRUE(fs::is_directory(root / "Akce1" / "vnoreny"));
    std::ifstream in(root / "Akce1" / "data.txt");
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "výsledky");

    // A directory holding only an empty subdirectory has content too.
    fs::create_directories(root / "Akce2" / "prazdny");
    EXPECT_FALSE(gui::replaceProjectDirectory(root / "Akce2").ok);
    EXPECT_TRUE(fs::is_directory(root / "Akce2" / "prazdny"));
}

TEST_F(ProjectDirectory, LeavesALinkAndItsTargetAlone) {
    fs::create_directory(root / "cil");
    fs::create_directory_symlink(root / "cil", root / "odkaz");
    EXPECT_FALSE(gui::replaceProjectDirectory(root / "odkaz").ok);
    EXPECT_TRUE(fs::is_symlink(root / "odkaz"));
    EXPECT_TRUE(fs::is_directory(root / "cil"));
}

} // namespace
