// Folder names both Linux and Windows can hold, each refusal one Czech sentence.
#include "project_files/folder_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string problem(const std::string& name) {
    return project_files::folderNameProblem(name, "Název varianty");
}

std::string times(int n, const std::string& piece) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += piece;
    return text;
}

} // namespace

TEST(FolderName, TakesWhatBothSystemsHold) {
    for (const std::string& name : std::vector<std::string>{
             "Z = 0,6 m, předpouštění", "A", "varianta 1.2", ".skryta", "CONSOLE", "com10", "lpt",
             "nul-povodeň", "COM1x.txt", times(85, "€"), times(255, "a")})
        EXPECT_EQ(problem(name), "") << name;
}

TEST(FolderName, RefusesEachKindInCzech) {
    EXPECT_EQ(problem(""), "Název varianty nesmí být prázdný.");
    EXPECT_EQ(problem(" \t "), "Název varianty nesmí být prázdný.");
    EXPECT_EQ(problem("a/b"), "Název varianty nesmí obsahovat lomítko / ani \\: odděluje složky "
                              "v cestě.");
    EXPECT_EQ(problem("a\\b"), problem("a/b"));
    const std::string windows = "Název varianty nesmí obsahovat znaky < > : \" | ? * ani řídicí "
                                "znaky: Windows je v názvu složky nepřipouští.";
    for (const std::string& name :
         std::vector<std::string>{"a<b", "a>b", "a:b", "a\"b", "a|b", "a?b", "a*b", "a\tb",
                                  std::string("a\0b", 3), "a\x1F"})
        EXPECT_EQ(problem(name), windows) << name;
    // 100 characters within the variant's limit, but 300 bytes.
    EXPECT_EQ(problem(times(100, "€")),
              "Název varianty je příliš dlouhý: v kódování UTF-8 má 300 bajtů, název složky smí "
              "mít nejvýše 255 (písmeno s diakritikou zabere 2 bajty, znak € 3).");
    EXPECT_NE(problem(times(256, "a")), "");
    for (const std::string name : {"abc.", "abc ", ".", "..", "CON."})
        EXPECT_EQ(problem(name), "Název varianty nesmí končit tečkou ani mezerou: Windows je z "
                                 "názvu složky vypouští.")
            << name;
    EXPECT_EQ(problem("Název\xC3"), "Název varianty není platný text v kódování UTF-8.");
    EXPECT_NE(problem("\xC0\xAF"), ""); // an overlong '/'
}

TEST(FolderName, RefusesWindowsDevicesInAnyCaseAndWithAnyExtension) {
    for (const std::string name :
         {"CON", "con", "Nul", "PRN", "aux", "com1", "COM9", "lpt1", "LPT9", "com0", "NUL.txt",
          "con.tar.gz", "CON .txt", "lpt\xC2\xB9", "conin$", "CONOUT$.log"})
        EXPECT_NE(problem(name).find("je ve Windows vyhrazený název zařízení"), std::string::npos)
            << name;
    EXPECT_EQ(problem("com1"), "Název varianty „com1“ nelze použít: COM1 je ve Windows vyhrazený "
                               "název zařízení, i s příponou.");
    EXPECT_EQ(project_files::folderNameProblem("NUL.txt", "Název projektu"),
              "Název projektu „NUL.txt“ nelze použít: NUL je ve Windows vyhrazený název "
              "zařízení, i s příponou.");
}
