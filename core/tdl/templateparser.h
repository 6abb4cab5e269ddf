#pragma once
// Reading template description files (".tdl") into the template library.

#include "core/tdl/templaterecord.h"

#include <string>
#include <string_view>
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
    void run(const std::vector<std::string_view>& lines);

private:
    // Room each template's lists need, counted ahead so they are allocated once.
    struct Room {
        std::size_t line = 0;  // index of its TEMPLATE line
        int fields = 0;
        int selectors = 0;
        int abstracts = 0;
        bool ended = false;  // an ENDTEMPLATE follows before the next TEMPLATE
    };
    void countRooms(const std::vector<std::string_view>& lines);
    void reserveRoom(TemplateRecord& rec);

    void parseLine(std::string_view line);
    void fieldLine();
    void fieldParameters(TemplateField& f);
    void commandLine(std::string_view text);
    void beginTemplate(std::string_view title);
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
    std::size_t lineIndex_ = 0;
    std::string_view rest_;  // unparsed rest of the current line
    bool open_ = false;
    int address_ = 0;
    bool manufacturerSeen_ = false;
    bool strayReported_ = false;
    std::string lastName_;  // last template of this file, for messages
    std::vector<Room> rooms_;
    std::size_t nextRoom_ = 0;
};

} // namespace tdl
} // namespace core
