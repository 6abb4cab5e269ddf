#include "core/tdl/templatefileupkeep.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/tokenizers.h"
#include "core/base/trace.h"
#include "core/numeric/numberrules.h"
#include "core/tdl/tdlnumbers.h"
#include "core/tdl/utidmath.h"
#include "core/validation/validation.h"

#include <optional>
#include <string>
#include <vector>

namespace core {

namespace {

// One template block of the file, from its TEMPLATE line to its ENDTEMPLATE line.
struct Block {
    int UTIDT = 0;  // missing UTIDT line: 0, as in the parser
    Currency sum;
    Currency fileUtid = Currency::fromScaled(-Currency::kScale);  // no UTID line: -1
    bool ugidSeen = false;
    int shift = tdl::kUtidFirstShift;
};

// Command lines count without their leading blanks and tabs, as the parser reads them.
std::string withoutIndent(const std::string& line)
{
    const auto start = line.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : line.substr(start);
}

std::string firstWordUpper(const std::string& line)
{
    std::string rest = withoutIndent(line);
    return upper(NextToken(" ", rest));
}

// The number of a UTID line: a plain decimal exactly, anything else by its leading number.
std::optional<Currency> utidValue(const std::string& word)
{
    bool plain = false;
    const auto exact = Currency::fromDecimalText(word, &plain);
    if (plain)
        return exact;
    return Currency::fromDouble(numeric::Val(word));
}

} // namespace

bool UpdateUTIDInFile(const std::filesystem::path& path, bool Rewrite)
{
    const auto r = UpdateUTIDs(path, Rewrite);
    return r.ok && r.allMatched;
}

UtidUpdate UpdateUTIDs(const std::filesystem::path& path, bool Rewrite)
{
    bool result = true;
    try {
        std::string error;
        const auto lines = readLines(path, &error);
        if (!lines)
            throw TdlError(error);
        std::vector<std::string> out;
        std::vector<std::string> buffer;
        // The same lines as read, UTID and UTIDT lines included: what follows the last
        // ENDTEMPLATE (an unfinished template too) is written back unchanged.
        std::vector<std::string> unchanged;
        Block b;
        bool open = false;  // inside TEMPLATE ... ENDTEMPLATE
        for (std::size_t n = 0; n < lines->size(); ++n) {
            const std::string& line = (*lines)[n];
            std::string rest = withoutIndent(line);
            const std::string cmd = upper(NextToken(" ", rest));
            if (cmd == "TEMPLATE") {
                // Lines before it (an unfinished template too) stay as they were.
                if (Rewrite)
                    out.insert(out.end(), unchanged.begin(), unchanged.end());
                buffer.clear();
                unchanged.clear();
                b = Block{};
                open = true;
            }
            buffer.push_back(line);
            unchanged.push_back(line);
            if (!open) {
                // Outside a template nothing counts: the parser ignores these lines too.
                if (cmd == "ENDTEMPLATE")
                    logTracewindow("ENDTEMPLATE without TEMPLATE ignored: " + path.string() + " line " +
                                   std::to_string(n + 1));
            } else if (cmd == "SELECTOR" || cmd == "MATCH") {
                int width = 0;
                std::int32_t match = 0;
                if (cmd == "SELECTOR") {
                    const auto a = tdl::selectorArgs(rest);
                    width = a.width;
                    match = a.match;
                } else {
                    const auto a = tdl::matchArgs(rest);
                    width = a.width;
                    match = a.match;
                }
                b.sum = tdl::utidAdd(b.sum, match, b.shift);
                b.shift += width;
            } else if (cmd == "UGID") {
                b.ugidSeen = true;
            } else if (cmd == "UTID") {
                const auto v = utidValue(NextWord(rest));
                if (!v)
                    throw TdlError("Overflow");
                b.fileUtid = *v;
                buffer.pop_back();
            } else if (cmd == "UTIDT") {
                b.UTIDT = tdl::valInt(NextWord(rest));
                buffer.pop_back();
            } else if (cmd == "ENDTEMPLATE") {
                const auto utidt = Currency::fromInteger(b.UTIDT).value();
                const auto computed = b.sum.plus(utidt);
                if (!computed)
                    throw TdlError("UTID beyond the fixed-point range");
                if (b.fileUtid != *computed)
                    result = false;
                if (Rewrite) {
                    for (const auto& l : buffer) {
                        out.push_back(l);
                        if (firstWordUpper(l) == "TEMPLATE") {
                            out.push_back("UTID " + computed->printText());
                            out.push_back("UTIDT " + utidt.printText());
                            if (!b.ugidSeen)
                                out.push_back("UGID " + computed->printText());
                        }
                    }
                }
                buffer.clear();
                unchanged.clear();
                open = false;
            }
        }
        if (Rewrite) {
            out.insert(out.end(), unchanged.begin(), unchanged.end());
            if (!writeFileAtomic(path, joinCrLf(out), &error))
                throw TdlError(error);
        }
        return {result, true};
    } catch (const std::exception&) {
        ShowMessage((Rewrite ? "Error updating UTID in file: " : "Error reading file: ") + path.string() +
                    ", please report to " + SupportAddress());
        return {result, false};
    }
}

bool CheckAllFilesValidated(bool ask)
{
    const auto folder = coreState().ProgramFolder;
    const auto offer = [ask](const std::filesystem::path& p) {
        return ask && ShowMessage(p.filename().string() + " failed validation test, do you want to re-create the validation",
                                  platform::MsgYesNo, "Create validation") == platform::MsgYes;
    };
    bool all = true;
    for (const auto& p : matchFiles(folder, "*.xdl")) {
        bool ok = ValidateFile(p, false, true);
        if (!ok && offer(p))
            ok = ValidateFile(p, true, true);
        all = all && ok;
    }
    for (const auto& p : matchFiles(folder, "*.TDL")) {
        bool utidOk = UpdateUTIDInFile(p, false);
        bool ok = ValidateFile(p, false, true);
        if (!(ok && utidOk) && offer(p)) {
            // The rewritten file carries the computed UTIDs: it passes unless the rewrite failed.
            utidOk = UpdateUTIDs(p, true).ok;
            ok = ValidateFile(p, true, true);
        }
        all = all && utidOk && ok;
    }
    return all;
}

} // namespace core
