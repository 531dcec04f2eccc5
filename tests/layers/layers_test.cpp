// Each layer of src/ includes only what the layer table lets it; these tests keep it so.
#include "layer_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using kv::layers::checkIncludes;
using kv::layers::Violation;

namespace {

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string described(const std::vector<Violation>& violations) {
    std::string text;
    for (const Violation& violation : violations) text += violation.describe() + "\n";
    return text;
}

// The one violation a single-line file must have, with its line and rule.
void expectRefused(std::string_view file, const std::string& line, const std::string& ruleWords) {
    const std::vector<Violation> violations = checkIncludes(file, "// a file\n" + line + "\n");
    ASSERT_EQ(violations.size(), 1u) << file << ": " << line << "\n" << described(violations);
    EXPECT_EQ(violations[0].file, file);
    EXPECT_EQ(violations[0].line, 2);
    EXPECT_NE(violations[0].rule.find(ruleWords), std::string::npos) << violations[0].describe();
    EXPECT_NE(violations[0].describe().find("src/" + std::string(file) + ":2: "), std::string::npos);
}

void expectAllowed(std::string_view file, const std::string& line) {
    EXPECT_EQ(described(checkIncludes(file, line + "\n")), "") << file << ": " << line;
}

}  // namespace

TEST(LayerRules, RefusesAnIncludeOfAHigherOrForeignLayer) {
    expectRefused("history_db/history_store.cpp", "#include \"jet/database.h\"",
                  "history_db/ may include only its own folder and data_access/, mapping/, import/, export/");
    // The domain and the command-line program know nothing of the window.
    for (const char* file : {"history_db/history_store.cpp", "mapping/mapping_workbook.cpp", "import/import_run.cpp",
                             "export/history_file_export.cpp", "cli/run.cpp"}) {
        expectRefused(file, "#include \"ui/ui.h\"", "may include only");
        expectRefused(file, "#include \"shell/data_objects.h\"", "may include only");
    }
    expectRefused("ui/headless_ui.cpp", "#include \"data_access/cursor.h\"", "ui/ may include only its own folder");
    expectRefused("jet/catalog.cpp", "  #  include \"data_access/connection.h\"",
                  "jet/ may include only its own folder");
    expectRefused("data_access/cursor.cpp", "#include \"ui/ui.h\"",
                  "data_access/ may include only its own folder and jet/");
    expectRefused("cli/main.cpp", "#include \"windows/main_window.h\"", "cli/ may include only");
    expectRefused("cli/main.cpp", "#include \"jet/database.h\"", "cli/ may include only");
    expectRefused("windows/main_window.cpp", "#include \"app/anything.h\"", "windows/ may include only");
    expectRefused("app/main.cpp", "#include \"history_db/history_store.h\"",
                  "app/ may include only its own folder and windows/");
    // A relative path names the folder it reaches.
    expectRefused("ui/controls.cpp", "#include \"../jet/format.h\"", "ui/ may include only its own folder");
}

TEST(LayerRules, RefusesQtAndTheTerminalOutsideTheLayersThatMayUseThem) {
    expectRefused("cli/main.cpp", "#include <QString>", "Qt is for windows/, app/ only");
    expectRefused("mapping/mapping_workbook.cpp", "#include <QCoreApplication>", "Qt is for");
    expectRefused("data_access/cursor.cpp", "#include <iostream>", "a terminal is for windows/, app/, cli/ only");
    expectRefused("ui/ui.h", "#include <iostream>", "a terminal is for");
}

TEST(LayerRules, RefusesAFolderTheTableDoesNotKnow) {
    const std::vector<Violation> violations = checkIncludes("reports/report.cpp", "#include <vector>\n");
    ASSERT_EQ(violations.size(), 1u);
    EXPECT_EQ(violations[0].describe(),
              "src/reports/report.cpp:1: the file breaks the rule: every folder of src/ has a place in the layer "
              "table, and reports/ has none");
}

TEST(LayerRules, AllowsOwnFolderLowerLayersSystemHeadersAndTheirOwnTools) {
    expectAllowed("jet/catalog.cpp", "#include \"jet/format.h\"");
    expectAllowed("jet/catalog.cpp", "#include \"format.h\"");
    expectAllowed("jet/file_lock.cpp", "#include <sys/file.h>");
    expectAllowed("data_access/cursor.cpp", "#include \"jet/database.h\"");
    expectAllowed("import/import_run.cpp", "#include \"mapping/mapping_workbook.h\"");
    expectAllowed("export/history_file_export.cpp", "#include \"history_db/history_store.h\"");
    expectAllowed("shell/import_page.cpp", "#include \"import/import_run.h\"");
    expectAllowed("shell/import_page.cpp", "#include \"ui/ui.h\"");
    expectAllowed("windows/main_window.cpp", "#include \"jet/database.h\"");
    expectAllowed("windows/main_window.cpp", "#include <QMainWindow>");
    expectAllowed("app/main.cpp", "#include <QApplication>");
    expectAllowed("cli/main.cpp", "#include <iostream>");
    expectAllowed("cli/run.cpp", "#include \"history_db/history_store.h\"");
    expectAllowed("cli/run.cpp", "#include \"data_access/cursor.h\"");
    expectAllowed("cli/run.cpp", "// #include \"jet/database.h\" is not an include");
}

TEST(Layers, EverySourceFileIncludesOnlyWhatItsLayerMayUse) {
    const std::filesystem::path src = std::filesystem::path(KV_SOURCE_DIR) / "src";
    std::set<std::string> foldersRead;
    std::vector<Violation> violations;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
        const std::string file = entry.path().lexically_relative(src).generic_string();
        foldersRead.insert(std::filesystem::path(file).begin()->string());
        for (Violation& violation : checkIncludes(file, contentOf(entry.path())))
            violations.push_back(std::move(violation));
    }
    for (const char* folder : {"jet", "data_access", "ui", "shell", "history_db", "mapping", "import", "export", "cli"})
        EXPECT_TRUE(foldersRead.contains(folder)) << "no source file read in src/" << folder;
    EXPECT_EQ(described(violations), "");
}
