#include "core/compiler/cdefine.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/validation/validation.h"

#include <algorithm>
#include <stdexcept>

namespace core {

namespace {

struct CompileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string lower(std::string s)
{
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool startsWithDefine(const std::string& line) { return lower(line.substr(0, 6)) == "define"; }
bool hasEnddefine(const std::string& line) { return lower(line).find("enddefine") != std::string::npos; }

std::string removeAll(std::string s, char c)
{
    s.erase(std::remove(s.begin(), s.end(), c), s.end());
    return s;
}

std::string withExtension(const std::filesystem::path& name, const char* ext) { return name.string() + ext; }

} // namespace

struct cDefine::Source {
    std::string file;
    std::vector<std::string> lines;

    [[noreturn]] void fail(std::size_t index, const std::string& why) const
    {
        throw CompileError("Error in description file: " + file + " near line : " + std::to_string(index + 1) +
                           "\r\n" + (index < lines.size() ? lines[index] : std::string()) + "\r\n" + why);
    }
};

cDefine::cDefine() : programFolder_(coreState().ProgramFolder) {}

bool cDefine::ExpandFiles(const std::filesystem::path& name)
{
    // NAME.DDL beside NAME.HDL compiles too; an existing NAME.TDL is the one replaced.
    const std::filesystem::path hdl = fileAnyCase(withExtension(name, ".hdl"));
    const std::filesystem::path ddl = fileAnyCase(withExtension(name, ".ddl"));
    const std::filesystem::path tdl = fileAnyCase(withExtension(name, ".tdl"));
    output_ = tdl;
    const bool haveHdl = FileExists(hdl), haveDdl = FileExists(ddl);
    active_.clear();
    calls_ = 0;
    work_ = 0;
    outputBytes_ = 0;
    if (!haveHdl && !haveDdl) {
        ShowMessage("No description file found: " + hdl.string() + "; " + ddl.string());
        return false;
    }
    std::vector<std::string> out;
    try {
        if (haveHdl)
            processFile(hdl, true, out);
        if (haveDdl)
            processFile(ddl, false, out);
    } catch (const CompileError& e) {
        ShowMessage(e.what());
        return false;
    }
    std::string error;
    if (!writeFileAtomic(tdl, joinCrLf(out), &error)) {
        ShowMessage("Error writing file: " + tdl.string() + "\r\n" + error);
        return false;
    }
    return true;
}

void cDefine::processFile(const std::filesystem::path& path, bool header, std::vector<std::string>& out)
{
    Source src;
    src.file = path.string();
    std::string error;
    auto bytes = readFileHead(path, kMaxSourceBytes, &error);
    if (!bytes)
        throw CompileError("Error reading file: " + src.file + "\r\n" + error);
    // Bounded before the lines are made: a description is far smaller.
    const auto lineEnds = static_cast<std::size_t>(std::count(bytes->begin(), bytes->end(), '\n') +
                                                   std::count(bytes->begin(), bytes->end(), '\r'));
    if (bytes->size() > kMaxSourceBytes || lineEnds > 2 * kMaxSourceLines)
        throw CompileError("Description file too large: " + src.file + "\r\nmore than " +
                           std::to_string(kMaxSourceBytes >> 20) + " MB or " + std::to_string(kMaxSourceLines) +
                           " lines");
    src.lines = splitLines(*bytes);
    if (src.lines.size() > kMaxSourceLines)
        throw CompileError("Description file too large: " + src.file + "\r\nmore than " +
                           std::to_string(kMaxSourceLines) + " lines");
    for (std::size_t i = 0; i < src.lines.size(); ++i) {
        const std::string& line = src.lines[i];
        if (startsWithDefine(line)) {
            readDefine(src, i);
        } else {
            const bool call = expandLine(line, out, src, i);
            if (!call && !header)
                append(out, line, src, i);
        }
    }
}

void cDefine::readDefine(Source& src, std::size_t& i)
{
    const std::size_t start = i;
    // Every "define" is removed, in any letter case, also one that a removal forms, then
    // every blank. One pass: "define" has no border, so dropping it whenever the kept
    // text ends in it leaves what removing the first one again and again leaves.
    std::string name;
    for (char c : src.lines[i]) {
        name.push_back(c);
        if (name.size() >= 6 && lower(name.substr(name.size() - 6)) == "define")
            name.resize(name.size() - 6);
    }
    DefineRecord rec;
    rec.name = lower(removeAll(name, ' '));
    for (++i; i < src.lines.size(); ++i) {
        if (hasEnddefine(src.lines[i])) {
            rec.count = static_cast<int>(rec.lines.size());
            byName_.emplace(rec.name, defines_.size());  // the first define of a name is the one used
            defines_.push_back(std::move(rec));
            return;
        }
        rec.lines.push_back(src.lines[i]);
    }
    src.fail(start, "define " + rec.name + " has no enddefine line");
}

bool cDefine::expandLine(const std::string& line, std::vector<std::string>& out, Source& src, std::size_t lineIndex)
{
    // Looking at a line costs its length, on every call that reaches it.
    work_ += line.size() + 1;
    if (work_ > kMaxWork)
        src.fail(lineIndex, "macro expansion too large: more than " + std::to_string(kMaxWork >> 20) +
                                " MB of lines looked at for macro calls");
    const std::string candidate = removeAll(line, '\t');
    if (candidate.empty())
        return false;
    const std::string key = lower(candidate);
    const auto it = byName_.find(key);
    if (it == byName_.end())
        return false;
    const std::size_t index = it->second;
    const auto pos = line.find(candidate);
    if (pos == std::string::npos)
        src.fail(lineIndex, "tab characters inside the call of macro " + key);
    if (std::find(active_.begin(), active_.end(), index) != active_.end())
        src.fail(lineIndex, "macro " + key + " calls itself");
    if (active_.size() >= kMaxDepth)
        src.fail(lineIndex, "macro expansion too large: macros nested more than " + std::to_string(kMaxDepth) + " deep");
    // Every call counts, also one whose body writes nothing: the work stays bounded.
    if (++calls_ > kMaxCalls)
        src.fail(lineIndex, "macro expansion too large: more than " + std::to_string(kMaxCalls) + " macro calls");
    const std::string indent = line.substr(0, pos);
    active_.push_back(index);
    // Expanding adds no defines, so the body stays in place while it is read.
    const std::vector<std::string>& body = defines_[index].lines;
    for (const auto& bodyLine : body) {
        if (!expandLine(bodyLine, out, src, lineIndex))
            append(out, indent + bodyLine, src, lineIndex);
    }
    active_.pop_back();
    return true;
}

void cDefine::append(std::vector<std::string>& out, std::string line, Source& src, std::size_t lineIndex)
{
    outputBytes_ += line.size() + 2;
    if (outputBytes_ > kMaxOutputBytes || out.size() >= kMaxOutputLines)
        src.fail(lineIndex, "macro expansion too large: output over " + std::to_string(kMaxOutputLines) + " lines or " +
                                std::to_string(kMaxOutputBytes >> 20) + " MB");
    out.push_back(std::move(line));
}

bool CompileDescription(const std::filesystem::path& name)
{
    cDefine compiler;
    if (!compiler.ExpandFiles(name))
        return false;
    const std::filesystem::path tdl = compiler.outputPath();
    if (!UpdateUTIDs(tdl, true).ok)
        return false;
    ValidateFile(tdl, true, false);
    if (coreState().JapaneseWindows)
        return true;
    // The keycode line must now be in place.
    int score = 0;
    ValidateFile(tdl, false, false, score);
    return score >= 2;
}

} // namespace core
