#include "app/application.h"

#include "app/program.h"
#include "core/base/textfile.h"
#include "sim/amplifier/amplifierptyserver.h"
#include "sim/amplifier/amplifiersimconfig.h"

#include <QApplication>

#include <filesystem>
#include <iostream>

namespace app {

namespace {

// "--simulate-amplifier <file>": serves a simulated amplifier chain on a pseudo-terminal.
int serveSimulatedAmplifier(const std::string& file)
{
    std::string error;
    const auto text = core::readFileBytes(file, &error);
    platform::sim::AmplifierSimConfig config;
    if (!text || !platform::sim::parseAmplifierSimConfig(*text, std::filesystem::path(file).parent_path(), config, error)) {
        std::cerr << "tedsmith: " << file << ": " << error << "\n";
        return 1;
    }
    return platform::sim::serveAmplifierOnPty(config, std::cout);
}

} // namespace

int run(int argc, char** argv)
{
    std::vector<std::string> args(argv, argv + argc);
    if (args.size() >= 2 && args[1] == "--simulate-amplifier") {
        if (args.size() != 3) {
            std::cerr << "usage: tedsmith --simulate-amplifier <chain description file>\n";
            return 2;
        }
        return serveSimulatedAmplifier(args[2]);
    }
    QApplication qapp(argc, argv);
    Program program(qapp);
    return program.run(args);
}

} // namespace app
