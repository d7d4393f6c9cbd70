#include "vsthost/editor_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/command_runner.h"
#include "support/desktop_scope.h"

namespace tvx {

namespace {

const std::string kPainted = TVX_PAINTED_PLUGIN_PATH;
const std::string kOut = std::string(TVX_SCRATCH_DIR) + "/editor-commands.png";

TEST(EditorCommands, BadCommandLinesAreRefusedWithAReason) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"snapshot"}, "needs a plug-in path"},
        {{"snapshot", kPainted}, "needs --out"},
        {{"snapshot", kPainted, "--out"}, "needs a value"},
        {{"snapshot", kPainted, "--out", kOut, "--page", "lfo"}, "main, mod or seq"},
        {{"snapshot", kPainted, "--out", kOut, "--scale", "5"}, "--scale must be"},
        {{"snapshot", kPainted, "--out", kOut, "--note", "128"}, "MIDI note number"},
        {{"snapshot", kPainted, "--out", kOut, "--bogus", "1"}, "unknown option"},
        {{"edit", kPainted, "--page", "seq"}, "unknown option"},
        {{"snapshot", kPainted, "--out", kOut, "--scale", "2"}, "Tessaravox only"},
        {{"snapshot", kPainted, "--out", kOut, "--set", "Osc1Pos=1"}, "keys are known for Tessaravox only"},
        {{"snapshot", TVX_NULL_PLUGIN_PATH, "--out", kOut}, "returned no instance"},
        {{"snapshot", "/no/such/plugin.so", "--out", kOut}, "cannot open"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        CommandResult r = runVsthost(c.args);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
}

TEST(EditorCommands, HelpNamesTheEditorCommands) {
    CommandResult r = runVsthost({"--help"});
    EXPECT_NE(r.out.find("vsthost snapshot PLUGIN --out FILE.png"), std::string::npos);
    EXPECT_NE(r.out.find("vsthost edit PLUGIN"), std::string::npos);
}

#if !defined(_WIN32)
TEST(EditorCommands, WithoutAWindowSystemTheCommandsSaySoAndFail) {
    EnvironmentScope noDisplay("DISPLAY", std::nullopt);  // no X display to open the window on
    for (const char* command : {"snapshot", "edit"}) {
        CommandResult r = command == std::string("snapshot") ? runVsthost({command, kPainted, "--out", kOut})
                                                              : runVsthost({command, kPainted});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("cannot open the X display"), std::string::npos) << r.err;
    }
}
#endif

}  // namespace

}  // namespace tvx
