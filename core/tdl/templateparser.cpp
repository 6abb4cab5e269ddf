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

#include <cmath>
#include <initializer_list>

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

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

constexpr int kAddressMax = 32767;

} // namespace

TemplateParser::TemplateParser(std::string fileName, bool validated) : file_(std::move(fileName)), validated_(validated) {}

void TemplateParser::run(const std::vector<std::string>& lines)
{
    for (std::size_t i = 1; i < lines.size(); ++i) {
        lineNo_ = static_cast<int>(i) + 1;
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

void TemplateParser::parseLine(const std::string& line)
{
    // The compiler keeps the tabs of indented macro calls: lines are read without their
    // leading blanks and tabs.
    const auto start = line.find_first_not_of(" \t");
    const std::string text = start == std::string::npos ? std::string() : line.substr(start);
    if (!text.empty() && text[0] == '%') {
        if (!needTemplate())
            return;
        rest_ = text.substr(1);
        fieldLine();
    } else {
        commandLine(text);
    }
}

void TemplateParser::commandLine(const std::string& text)
{
    rest_ = text;
    const std::string cmd = upper(NextToken(" ", rest_));
    if (cmd.empty() || cmd[0] == '#' || cmd[0] == '*' || startsWith(cmd, "VALIDATION_"))
        return;
    if (cmd == "TEMPLATE") {
        beginTemplate(rest_);
    } else if (cmd == "ROM" || cmd == "UNIT" || cmd == "CRC8" || cmd == "END") {
        // no bits, no effect
    } else if (cmd == "ADDRESS") {
        address_ = notNegative(valInt(NextToken(" ", rest_)), "address");
    } else if (cmd == "ALIGN") {
        const int n = valInt(NextToken(" ", rest_));
        if (n <= 0)
            throw TdlError("ALIGN needs a positive number");
        if (address_ % n != 0)
            advance((address_ / n + 1) * n - address_);
    } else if (cmd == "UGID" || cmd == "UTIDT" || cmd == "UTID" || cmd == "GROUP" || cmd == "SPACING" ||
               cmd == "SELECTOR" || cmd == "MATCH" || cmd == "ABSTRACT" || cmd == "ENDTEMPLATE") {
        if (!needTemplate())
            return;
        auto& rec = current();
        if (cmd == "UGID") {
            rec.UGID = toCurrency(NextToken(" ", rest_));
        } else if (cmd == "UTIDT") {
            rec.UTIDT = valInt(NextToken(" ", rest_));
        } else if (cmd == "UTID") {
            rec.UTID = toCurrency(NextToken(" ", rest_));
        } else if (cmd == "GROUP") {
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
        } else if (cmd == "SPACING") {
            if (rec.groupLast + 1 >= kGroupBreaksMax)
                throw TdlError("too many group breaks");
            rec.groupBreaks[static_cast<std::size_t>(++rec.groupLast)] = rec.fieldLast + 1;
        } else if (cmd == "SELECTOR" || cmd == "MATCH") {
            TemplateSelector sel;
            if (cmd == "SELECTOR") {
                const auto a = selectorArgs(rest_);
                sel = {address_, a.width, a.match};
            } else {
                const auto a = matchArgs(rest_);
                sel = {a.address, a.width, a.match};
            }
            if (rec.selectorLast + 1 >= kSelectorsMax)
                throw TdlError("too many selectors");
            rec.selectors[static_cast<std::size_t>(++rec.selectorLast)] = sel;
            if (cmd == "SELECTOR")
                advance(sel.width);
        } else if (cmd == "ABSTRACT") {
            rec.abstractLines.push_back(rest_);
            rec.abstractCount += 1;
        } else {
            endTemplate();
        }
    } else {
        unknownCommand(cmd);
    }
}

void TemplateParser::dropUnfinishedTemplate()
{
    MsgBox(joinCrLfNoEnd({"Error in Template Description file", "  Filename    : " + file_, "  Title       : " + current().name,
                          "  ENDTEMPLATE missing, template ignored", "  in line  : " + std::to_string(lineNo_)}));
    dropOpenTemplate();
}

void TemplateParser::beginTemplate(const std::string& title)
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
                          rest_, "", "Please report to " + SupportAddress(),
                          "Please remove this file and start again, program will close now to avoid unpredictable results"}));
    throw ProgramEnd{1};
}

} // namespace tdl

void ParseTemplateFile(const std::string& fileName)
{
    const auto path = coreState().ProgramFolder / fileName;
    int score = 0;
    // Read once: the validation check and the parse take the same lines.
    const auto lines = readLines(path);
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
