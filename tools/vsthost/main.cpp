// vsthost: a command-line VST 2.4 host. Prints a plug-in's identity and
// renders Standard MIDI Files through it into WAV files.

#include <cstdio>
#include <string>
#include <vector>

#include "vsthost/commands.h"

int main(int argc, char** argv) {
    using namespace tvx;
    std::vector<std::string> args(argv + 1, argv + argc);
    return vsthost::runCommandLine(args, stdout, stderr);
}
