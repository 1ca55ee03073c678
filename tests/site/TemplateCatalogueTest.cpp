// Picking a built-in template beside the program.
#include "site/TemplateCatalogue.h"
#include "tests/support/JpegFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pixelnook;

TEST(TemplateCatalogueTest, ProgramFolderIsTheFolderOfTheRunningProgram)
{
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(folder, PIXELNOOK_BIN_DIR));
}

TEST(TemplateCatalogueTest, BuiltInTemplatePaths)
{
    EXPECT_EQ(BuiltInTemplatePath("/opt/pn/", 1), "/opt/pn/templates/template1.html");
    EXPECT_EQ(BuiltInTemplatePath("/opt/pn/", 6), "/opt/pn/templates/template6.html");
}

TEST(TemplateCatalogueTest, PickingKeepsTheEarlierChoiceWhenTheFileIsMissing)
{
    fixtures::TempDir dir;
    const std::string program = dir.str() + "/";
    std::filesystem::create_directory(dir.path() / "templates");
    fixtures::WriteText(dir.path() / "templates" / "template2.html", "%image%");
    fixtures::WriteText(dir.path() / "templates" / "template5.html", "%image%");

    TemplateChoice choice;
    EXPECT_EQ(SelectBuiltInTemplate(choice, program, 2), "");
    EXPECT_EQ(choice.TemplateSelected, "true");
    EXPECT_EQ(choice.TemplatePath, program + "templates/template2.html");

    EXPECT_EQ(SelectBuiltInTemplate(choice, program, 5), "");
    EXPECT_EQ(choice.TemplatePath, program + "templates/template5.html");

    EXPECT_EQ(SelectBuiltInTemplate(choice, program, 4),
              "The file '" + program +
                  "templates/template4.html' could not be found. Please re-install");
    EXPECT_EQ(choice.TemplateSelected, "true");
    EXPECT_EQ(choice.TemplatePath, program + "templates/template5.html");

    // A missing file with nothing picked before leaves the flag down.
    TemplateChoice fresh;
    EXPECT_NE(SelectBuiltInTemplate(fresh, program, 1), "");
    EXPECT_EQ(fresh.TemplateSelected, "false");
    EXPECT_EQ(fresh.TemplatePath, "");
}
