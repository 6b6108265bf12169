#include <gtest/gtest.h>

#include "app/catalogue.h"
#include "tests/support/launcher_fixture.h"

namespace {

using testing_support::LauncherTest;

class CatalogueTest : public LauncherTest {
 protected:
  void SetUp() override {
    UseMediumPaths();
    app::Ctx().language = "1031";
    SetupRes("[1031]\n9011=Installiere %s\n9=null\nNAME=Agent DE\n"
             "[1033]\n9011=Install %s\n9=Setup cannot continue\n10=Only English\n"
             "LONG=" + std::string(600, 'x') + "\n");
  }
};

TEST_F(CatalogueTest, LanguageSectionThenEnglishThenNull) {
  EXPECT_EQ(app::GetMessageText(9011), "Installiere %s");
  EXPECT_EQ(app::GetMessageText(10), "Only English");
  EXPECT_EQ(app::GetMessageText(9), "Setup cannot continue");  // "null" counts as missing
  EXPECT_EQ(app::GetMessageText(4242), "NULL");
  EXPECT_EQ(app::GetMessageTextByKey("NAME"), "Agent DE");
  EXPECT_EQ(app::GetMessageTextByKey("LONG"), std::string(519, 'x'));
}

TEST_F(CatalogueTest, MissingCatalogueGivesNull) {
  sim->DeleteFile(kMedium + "setupres.ini");
  EXPECT_EQ(app::GetMessageText(9011), "NULL");
}

TEST(SystemLanguage, ModernSpanishCountsAsTraditional) {
  EXPECT_EQ(app::SystemLanguageFromId(3082), "1034");
  EXPECT_EQ(app::SystemLanguageFromId(1034), "1034");
  EXPECT_EQ(app::SystemLanguageFromId(2058), "2058");
  EXPECT_EQ(app::SystemLanguageFromId(1033), "1033");
  EXPECT_EQ(app::SystemLanguageFromId(1041), "1041");
}

TEST_F(CatalogueTest, QuietLanguageComesFromTheConfigurationFile) {
  struct Case {
    const char* icf;  // null: no file
    const char* expected;
  } cases[] = {
      {"[Install]\nLanguageID=1036\n", "1036"},
      {"[Install]\nLanguageID=\n", "1033"},
      {"[Install]\n", "1033"},
      {nullptr, "1033"},
  };
  app::Ctx().setupIcfPath = "C:\\TEMP\\setup.icf";
  for (const Case& t : cases) {
    sim->DeleteFile("C:\\TEMP\\setup.icf");
    if (t.icf) sim->WriteFileText("C:\\TEMP\\setup.icf", t.icf);
    app::ApplyQuietLanguageRule();
    EXPECT_EQ(app::Ctx().language, t.expected);
    EXPECT_EQ(app::Ctx().chosenLanguage, t.expected);
  }
}

TEST_F(CatalogueTest, ProductNameIsACatalogueKeyBetweenDelimiters) {
  struct Case {
    const char* value;
    const char* name;
    bool lookedUp;
  } cases[] = {
      {"", "", false},
      {"%", "%", false},
      {"%%", "%%", false},
      {"%NAME%", "Agent DE", true},
      {"%UNKNOWN%", "NULL", true},
  };
  for (const Case& t : cases) {
    SetupInf(std::string("[Setup]\nProductName=") + t.value + "\n");
    app::ProductNameResult r = app::ResolveProductName();
    EXPECT_EQ(r.name, t.name) << t.value;
    EXPECT_EQ(r.lookedUp, t.lookedUp) << t.value;
  }
}

}  // namespace
