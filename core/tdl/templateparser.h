#pragma once
// Reading template description files (".tdl") into the template library.

#include "core/tdl/templaterecord.h"

#include <string>
#include <vector>

namespace core {

// The first line every description file must carry.
extern const char* const kDescriptionLanguageVersion;

// Parses ProgramFolder / fileName and appends its templates to tdlState().Templates.
// Problems are reported by message box; errors that make the library unreliable end
// the program (core::ProgramEnd).
void ParseTemplateFile(const std::string& fileName);

namespace tdl {

// The parse of one file's lines after its version line.
class TemplateParser {
public:
    TemplateParser(std::string fileName, bool validated);
    // lines[0] is the version line (already checked); the rest are parsed in order.
    void run(const std::vector<std::string>& lines);

private:
    void parseLine(const std::string& line);
    void fieldLine();
    void fieldParameters(TemplateField& f);
    void commandLine(const std::string& text);
    void beginTemplate(const std::string& title);
    void endTemplate();
    void dropOpenTemplate();
    // Reports the open template as unfinished and drops it.
    void dropUnfinishedTemplate();
    // True when a template is open; otherwise reports the stray line (once per file).
    bool needTemplate();
    TemplateRecord& current();
    void advance(int bits);
    std::string currentName() const;

    [[noreturn]] void unknownTag(const std::string& tagName);
    void unknownType(const TemplateField& f);
    void unknownCommand(const std::string& command);
    [[noreturn]] void fatal();

    std::string file_;
    bool validated_;
    int lineNo_ = 1;
    std::string rest_;  // unparsed rest of the current line
    bool open_ = false;
    int address_ = 0;
    bool manufacturerSeen_ = false;
    bool strayReported_ = false;
    std::string lastName_;  // last template of this file, for messages
};

} // namespace tdl
} // namespace core
