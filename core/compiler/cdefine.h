#pragma once
// The description compiler: name.hdl (macro definitions) and name.ddl (the description)
// are expanded into name.tdl.

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

namespace core {

// One macro.
struct DefineRecord {
    std::string name;                // lower case, "define" and blanks removed
    std::vector<std::string> lines;  // the body as written
    int count = 0;
};

class cDefine {
public:
    // Bounds of one compile: macros calling macros at most this deep, at most this many
    // macro calls expanded (calls that write no lines count too), at most this many
    // characters of lines looked at for calls (a long call line costs on every call),
    // the output at most this many bytes (CR LF included) and lines, and each source file
    // at most this many bytes and lines. The largest shipped source takes about 20 000
    // calls, 80 000 lines and 4 MB of lines looked at; its files are under 1 MB and
    // 25 000 lines.
    static constexpr std::size_t kMaxDepth = 64;
    static constexpr std::size_t kMaxCalls = 1000000;
    static constexpr std::size_t kMaxWork = 64u << 20;
    static constexpr std::size_t kMaxOutputBytes = 8u << 20;
    static constexpr std::size_t kMaxOutputLines = 200000;
    static constexpr std::size_t kMaxSourceBytes = 8u << 20;
    static constexpr std::size_t kMaxSourceLines = 200000;

    cDefine();

    // name is the base path without extension. Writes name.tdl from name.hdl (when it
    // exists) and name.ddl (when it exists). False after a message when neither exists or
    // the sources are faulty (a define without enddefine, a macro that calls itself, a
    // call with tabs inside it, an expansion nested too deep, taking too many calls or
    // growing too large) or cannot be read or written; name.tdl is then untouched.
    bool ExpandFiles(const std::filesystem::path& name);

    const std::vector<DefineRecord>& defines() const { return defines_; }
    // The .tdl file of the last ExpandFiles.
    const std::filesystem::path& outputPath() const { return output_; }

private:
    struct Source;
    void processFile(const std::filesystem::path& path, bool header, std::vector<std::string>& out);
    // Reads the define starting at lines[i]; i is left on its enddefine line.
    void readDefine(Source& src, std::size_t& i);
    // True when line is a macro call; its expansion is appended to out.
    bool expandLine(const std::string& line, std::vector<std::string>& out, Source& src, std::size_t lineIndex);

    // One output line appended, failing once the output grows past its bound.
    void append(std::vector<std::string>& out, std::string line, Source& src, std::size_t lineIndex);

    std::vector<DefineRecord> defines_;
    std::unordered_map<std::string, std::size_t> byName_;  // name -> first define of that name
    std::vector<std::size_t> active_;  // defines being expanded (outermost first)
    std::size_t calls_ = 0;            // macro calls expanded so far
    std::size_t work_ = 0;             // characters of lines looked at for calls so far
    std::size_t outputBytes_ = 0;
    std::filesystem::path programFolder_;
    std::filesystem::path output_;
};

// The whole compile of the compile window and the command line: ExpandFiles, then the
// UTID lines (UpdateUTIDInFile with Rewrite) and the keycode validation line.
bool CompileDescription(const std::filesystem::path& name);

} // namespace core
