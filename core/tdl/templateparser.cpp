#include "core/tdl/templateparser.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/tokenizers.h"
#include "core/numeric/numberrules.h"
#include "core/tdl/tdlnumbers.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/utidmath.h"
#include "core/validation/validation.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>

namespace core {

const char* const kDescriptionLanguageVersion = "Description Language Version 0.2.6";

namespace tdl {

namespace {

std::string joinCrLfNoEnd(std::initializer_list<std::string> parts)
{
    std::string out;
    bool first = true;
    for (const auto& p : parts) {
        if (!first)
            out += "\r\n";
        out += p;
        first = false;
    }
    return out;
}

constexpr int kAddressMax = 32767;

// The line without its leading blanks and tabs: the compiler keeps the tabs of indented
// macro calls.
std::string_view withoutIndent(std::string_view line)
{
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    return line.substr(start);
}

// The word a command line begins with, as NextToken(" ") cuts it.
std::string_view commandWord(std::string_view text) { return text.substr(0, text.find(' ')); }

enum class Command {
    Other,
    None,  // reserves no bits and changes nothing
    Template,
    Address,
    Align,
    Ugid,
    Utidt,
    Utid,
    Group,
    Spacing,
    Selector,
    Match,
    Abstract,
    EndTemplate,
};

// The command of a word, in any letter case.
Command commandOf(std::string_view word)
{
    constexpr std::size_t kLongest = 11;
    if (word.size() > kLongest)
        return Command::Other;
    char buf[kLongest];
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        buf[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    const std::string_view w(buf, word.size());
    switch (w.size()) {
    case 3:
        return w == "ROM" || w == "END" ? Command::None : Command::Other;
    case 4:
        return w == "UTID"   ? Command::Utid
               : w == "UGID" ? Command::Ugid
               : w == "UNIT" || w == "CRC8" ? Command::None
                                            : Command::Other;
    case 5:
        return w == "UTIDT"   ? Command::Utidt
               : w == "GROUP" ? Command::Group
               : w == "MATCH" ? Command::Match
               : w == "ALIGN" ? Command::Align
                              : Command::Other;
    case 7:
        return w == "SPACING" ? Command::Spacing : w == "ADDRESS" ? Command::Address : Command::Other;
    case 8:
        return w == "SELECTOR"   ? Command::Selector
               : w == "ABSTRACT" ? Command::Abstract
               : w == "TEMPLATE" ? Command::Template
                                 : Command::Other;
    case 11:
        return w == "ENDTEMPLATE" ? Command::EndTemplate : Command::Other;
    default:
        return Command::Other;
    }
}

} // namespace

TemplateParser::TemplateParser(std::string fileName, bool validated) : file_(std::move(fileName)), validated_(validated) {}

void TemplateParser::run(const std::vector<std::string_view>& lines)
{
    countRooms(lines);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        lineNo_ = static_cast<int>(i) + 1;
        lineIndex_ = i;
        try {
            parseLine(lines[i]);
        } catch (const std::exception&) {
            fatal();
        }
    }
    if (open_) {
        dropUnfinishedTemplate();
    }
    auto& st = tdlState();
    st.Templates.resize(static_cast<std::size_t>(st.TemplateParseLast + 2));
    st.TemplateLast = st.TemplateParseLast;
}

// A template's lists grow one element at a time; counted ahead, each is allocated once at
// its size. The count only sizes the lists: the parse itself decides what they hold.
void TemplateParser::countRooms(const std::vector<std::string_view>& lines)
{
    rooms_.clear();
    nextRoom_ = 0;
    Room* room = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view text = withoutIndent(lines[i]);
        if (!text.empty() && text[0] == '%') {
            if (room)
                room->fields += 1;
            continue;
        }
        switch (commandOf(commandWord(text))) {
        case Command::Template:
            rooms_.push_back({i, 0, 0, 0, false});
            room = &rooms_.back();
            break;
        case Command::EndTemplate:
            if (room)
                room->ended = true;
            room = nullptr;
            break;
        case Command::Selector:
        case Command::Match:
            if (room)
                room->selectors += 1;
            break;
        case Command::Abstract:
            if (room)
                room->abstracts += 1;
            break;
        default:
            break;
        }
    }
    // This file's templates and the spare record after them; a template that is never
    // ended is dropped, so a file of TEMPLATE lines alone reserves nothing.
    const auto ended = std::count_if(rooms_.begin(), rooms_.end(), [](const Room& r) { return r.ended; });
    auto& st = tdlState();
    st.Templates.reserve(static_cast<std::size_t>(st.TemplateParseLast + 2) + static_cast<std::size_t>(ended));
}

void TemplateParser::reserveRoom(TemplateRecord& rec)
{
    while (nextRoom_ < rooms_.size() && rooms_[nextRoom_].line < lineIndex_)
        ++nextRoom_;
    if (nextRoom_ == rooms_.size() || rooms_[nextRoom_].line != lineIndex_)
        return;
    const Room& r = rooms_[nextRoom_];
    rec.fields.reserve(static_cast<std::size_t>(r.fields));
    rec.selectors.reserve(static_cast<std::size_t>(r.selectors));
    rec.abstractLines.reserve(static_cast<std::size_t>(r.abstracts));
}

void TemplateParser::parseLine(std::string_view line)
{
    const std::string_view text = withoutIndent(line);
    if (!text.empty() && text[0] == '%') {
        if (!needTemplate())
            return;
        rest_ = text.substr(1);
        fieldLine();
    } else {
        commandLine(text);
    }
}

void TemplateParser::commandLine(std::string_view text)
{
    rest_ = text;
    const std::string_view word = NextToken(" ", rest_);
    if (word.empty() || word[0] == '#' || word[0] == '*' || upperEquals(word.substr(0, 11), "VALIDATION_"))
        return;
    const Command command = commandOf(word);
    switch (command) {
    case Command::Other:
        unknownCommand(upper(std::string(word)));
        return;
    case Command::None:
        return;
    case Command::Template:
        beginTemplate(rest_);
        return;
    case Command::Address:
        address_ = notNegative(valInt(NextToken(" ", rest_)), "address");
        return;
    case Command::Align: {
        const int n = valInt(NextToken(" ", rest_));
        if (n <= 0)
            throw TdlError("ALIGN needs a positive number");
        if (address_ % n != 0)
            advance((address_ / n + 1) * n - address_);
        return;
    }
    default:
        break;
    }
    // The commands that change the open template.
    if (!needTemplate())
        return;
    auto& rec = current();
    switch (command) {
    case Command::Ugid:
        rec.UGID = toCurrency(NextToken(" ", rest_));
        break;
    case Command::Utidt:
        rec.UTIDT = valInt(NextToken(" ", rest_));
        break;
    case Command::Utid:
        rec.UTID = toCurrency(NextToken(" ", rest_));
        break;
    case Command::Group: {
        rec.groupLast = -1;
        rec.groupBreaks.clear();
        double total = 0;
        // A separator with nothing after it ends the list ("3,5," has two values).
        while (!rest_.empty() && rest_ != ",") {
            total += numeric::Val(NextToken(",", rest_));
            if (rec.groupLast + 1 >= kGroupBreaksMax)
                throw TdlError("too many group breaks");
            const auto v = numeric::CInt(total);
            if (!v)
                throw TdlError("Overflow");
            rec.groupBreaks[static_cast<std::size_t>(++rec.groupLast)] = *v;
        }
        break;
    }
    case Command::Spacing:
        if (rec.groupLast + 1 >= kGroupBreaksMax)
            throw TdlError("too many group breaks");
        rec.groupBreaks[static_cast<std::size_t>(++rec.groupLast)] = rec.fieldLast + 1;
        break;
    case Command::Selector:
    case Command::Match: {
        TemplateSelector sel;
        if (command == Command::Selector) {
            const auto a = selectorArgs(rest_);
            sel = {address_, a.width, a.match};
        } else {
            const auto a = matchArgs(rest_);
            sel = {a.address, a.width, a.match};
        }
        if (rec.selectorLast + 1 >= kSelectorsMax)
            throw TdlError("too many selectors");
        rec.selectors[static_cast<std::size_t>(++rec.selectorLast)] = sel;
        if (command == Command::Selector)
            advance(sel.width);
        break;
    }
    case Command::Abstract:
        rec.abstractLines.emplace_back(rest_);
        rec.abstractCount += 1;
        break;
    default:
        endTemplate();
        break;
    }
}

void TemplateParser::dropUnfinishedTemplate()
{
    MsgBox(joinCrLfNoEnd({"Error in Template Description file", "  Filename    : " + file_, "  Title       : " + current().name,
                          "  ENDTEMPLATE missing, template ignored", "  in line  : " + std::to_string(lineNo_)}));
    dropOpenTemplate();
}

void TemplateParser::beginTemplate(std::string_view title)
{
    if (open_) {
        dropUnfinishedTemplate();
    }
    auto& st = tdlState();
    st.TemplateParseLast += 1;
    if (st.Templates.size() < static_cast<std::size_t>(st.TemplateParseLast + 1))
        st.Templates.resize(static_cast<std::size_t>(st.TemplateParseLast + 1));
    TemplateRecord rec;
    rec.name = title;
    rec.file = file_;
    rec.validated = validated_;
    reserveRoom(rec);
    st.Templates[static_cast<std::size_t>(st.TemplateParseLast)] = std::move(rec);
    address_ = 0;
    manufacturerSeen_ = false;
    open_ = true;
}

void TemplateParser::endTemplate()
{
    auto& rec = current();
    rec.manufacturerInSelector = false;
    rec.defaultManufacturerId = 0;
    if (manufacturerSeen_) {
        const auto& f = rec.fields[static_cast<std::size_t>(rec.manufacturerField)];
        const int fa = f.bitAddress, fe = f.bitAddress + f.bitCount - 1;
        for (int k = 0; k <= rec.selectorLast; ++k) {
            const auto& s = rec.selectors[static_cast<std::size_t>(k)];
            const int a = s.bitAddress, e = s.bitAddress + s.width - 1;
            if (fa >= a && fa <= e && fe >= a && fe <= e) {
                if (f.bitCount > 31)
                    throw TdlError("Overflow");
                const double shifted = std::floor(static_cast<double>(s.match) / std::ldexp(1.0, fa - a));
                const auto mask = static_cast<std::int32_t>((std::int64_t{1} << f.bitCount) - 1);
                rec.manufacturerInSelector = true;
                rec.defaultManufacturerId = static_cast<std::int32_t>(shifted) & mask;
            }
        }
    }
    rec.lengthBits = address_;
    auto utid = Currency::fromInteger(rec.UTIDT).value();
    int shift = kUtidFirstShift;
    for (int k = 0; k <= rec.selectorLast; ++k) {
        const auto& s = rec.selectors[static_cast<std::size_t>(k)];
        utid = utidAdd(utid, s.match, shift);
        shift += s.width;
    }
    rec.UTID = utid;
    lastName_ = rec.name;
    open_ = false;
}

void TemplateParser::dropOpenTemplate()
{
    auto& st = tdlState();
    st.Templates[static_cast<std::size_t>(st.TemplateParseLast)] = TemplateRecord{};
    st.TemplateParseLast -= 1;
    open_ = false;
}

bool TemplateParser::needTemplate()
{
    if (open_)
        return true;
    if (!strayReported_) {
        strayReported_ = true;
        MsgBox(joinCrLfNoEnd({"Error in Template Description file", "  Filename    : " + file_,
                              "  Line outside TEMPLATE ... ENDTEMPLATE ignored",
                              "  in line  : " + std::to_string(lineNo_)}));
    }
    return false;
}

TemplateRecord& TemplateParser::current()
{
    auto& st = tdlState();
    return st.Templates.at(static_cast<std::size_t>(st.TemplateParseLast));
}

void TemplateParser::advance(int bits)
{
    if (address_ + bits > kAddressMax)
        throw TdlError("Overflow: bit address beyond " + std::to_string(kAddressMax));
    address_ += bits;
}

std::string TemplateParser::currentName() const
{
    if (open_) {
        const auto& st = tdlState();
        return st.Templates.at(static_cast<std::size_t>(st.TemplateParseLast)).name;
    }
    return lastName_;
}

void TemplateParser::unknownCommand(const std::string& command)
{
    MsgBox(joinCrLfNoEnd({"Error in Template Description file", "  Filename    : " + file_,
                          "  Title       : " + currentName(), "  Command  : " + command + " not known",
                          "  in line  : " + std::to_string(lineNo_)}));
}

void TemplateParser::fatal()
{
    MsgBox(joinCrLfNoEnd({"Error in template description file: " + file_ + " near line : " + std::to_string(lineNo_),
                          std::string(rest_), "", "Please report to " + SupportAddress(),
                          "Please remove this file and start again, program will close now to avoid unpredictable results"}));
    throw ProgramEnd{1};
}

} // namespace tdl

void ParseTemplateFile(const std::string& fileName)
{
    const auto path = coreState().ProgramFolder / fileName;
    int score = 0;
    // Read once: the validation check and the parse take the same lines, as views into
    // the file's bytes.
    const auto bytes = readFileBytes(path);
    std::optional<std::vector<std::string_view>> lines;
    if (bytes)
        lines = splitLineViews(*bytes);
    const bool validated = lines ? ValidateFileLines(path, *lines, score) : ValidateFile(path, false, true, score);
    if (!lines) {
        MsgBox("Error in template description file: " + fileName + " near line : 0" + "\r\n\r\n" + "Please report to " +
               SupportAddress() + "\r\n" +
               "Please remove this file and start again, program will close now to avoid unpredictable results");
        throw ProgramEnd{1};
    }
    if (lines->empty() || (*lines)[0] != kDescriptionLanguageVersion) {
        MsgBox("Wrong version of Description Language, file: " + fileName + "\r\n" + "file ignored");
        return;
    }
    tdl::TemplateParser(fileName, validated).run(*lines);
}

} // namespace core
