#include "core/base/textfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <fcntl.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace core {

std::optional<std::string> readFileBytes(const fs::path& path, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot open " + path.string();
        return std::nullopt;
    }
    std::string bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0 && in) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), size);
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        in.clear();
    }
    // A file that has no size (a pipe) or grew meanwhile: the rest as it comes.
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        if (error)
            *error = "cannot read " + path.string();
        return std::nullopt;
    }
    bytes += ss.str();
    return bytes;
}

std::optional<std::string> readFileHead(const fs::path& path, std::size_t limit, std::string* error)
{
    // Opened without waiting: a pipe without a writer must not hold the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = "cannot open " + path.string();
        return std::nullopt;
    }
    std::string out;
    char block[4096];
    bool failed = false;
    while (out.size() <= limit) {
        const std::size_t want = std::min(sizeof block, limit + 1 - out.size());
        const ssize_t n = ::read(fd, block, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            // EAGAIN too: a pipe whose writer has not written yet is not read on a guess.
            failed = true;
            break;
        }
        if (n == 0)
            break;
        out.append(block, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (failed) {
        if (error)
            *error = "cannot read " + path.string();
        return std::nullopt;
    }
    return out;
}

namespace {

// The first CR or LF from p on, or end.
const char* lineEnd(const char* p, const char* const end)
{
#if defined(__SSE2__)
    // Sixteen characters at a time: data files are mostly text between line ends.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf)));
        if (hits != 0)
            return p + __builtin_ctz(static_cast<unsigned>(hits));
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

// Calls line(begin, end) for each line of bytes.
template <class F>
void forEachLine(std::string_view bytes, F&& line)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* const e = lineEnd(p, end);
        line(p, e);
        // A last line without an ending.
        if (e == end)
            return;
        p = e + 1;
        if (*e == '\r' && p < end && *p == '\n')
            ++p;
    }
}

} // namespace

std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    forEachLine(bytes, [&](const char* b, const char* e) { lines.emplace_back(b, e); });
    return lines;
}

std::vector<std::string_view> splitLineViews(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    // Lines of the data files run to some 40 characters: one allocation, seldom two.
    lines.reserve(bytes.size() / 32 + 1);
    forEachLine(bytes, [&](const char* b, const char* e) { lines.emplace_back(b, static_cast<std::size_t>(e - b)); });
    return lines;
}

std::optional<std::vector<std::string>> readLines(const fs::path& path, std::string* error)
{
    auto bytes = readFileBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return splitLines(*bytes);
}

std::string joinCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool writeFileAtomic(const fs::path& path, const std::string& bytes, std::string* error)
{
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    static std::mt19937 rng{std::random_device{}()};
    const fs::path tmp = dir / ("." + path.filename().string() + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(rng() % 100000));
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            if (error)
                *error = "cannot create " + tmp.string();
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(tmp, ec);
            if (error)
                *error = "cannot write " + tmp.string();
            return false;
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ec2;
        fs::remove(tmp, ec2);
        if (error)
            *error = "cannot replace " + path.string() + ": " + ec.message();
        return false;
    }
    return true;
}

std::string upper(std::string s)
{
    for (auto& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trim(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

bool iequals(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    const auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (up(a[i]) != up(b[i]))
            return false;
    return true;
}

bool upperEquals(std::string_view text, std::string_view upperName)
{
    if (text.size() != upperName.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != upperName[i])
            return false;
    }
    return true;
}

bool wildcardMatch(const std::string& pattern, const std::string& name)
{
    const std::string p = upper(pattern), n = upper(name);
    // Iterative match with backtracking on the last '*'.
    std::size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

std::vector<fs::path> matchFiles(const fs::path& folder, const std::string& pattern)
{
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (!it->is_regular_file(ec2))
            continue;
        if (wildcardMatch(pattern, it->path().filename().string()))
            out.push_back(it->path());
    }
    std::sort(out.begin(), out.end(), [](const fs::path& a, const fs::path& b) {
        return upper(a.filename().string()) < upper(b.filename().string());
    });
    return out;
}

bool FileExists(const fs::path& path)
{
    try {
        const std::string name = path.filename().string();
        if (name.find_first_of("*?") != std::string::npos)
            return !matchFiles(path.has_parent_path() ? path.parent_path() : fs::path("."), name).empty();
        std::error_code ec;
        return fs::is_regular_file(path, ec);
    } catch (...) {
        return false;
    }
}

fs::path fileAnyCase(const fs::path& path)
{
    std::error_code ec;
    if (fs::is_regular_file(path, ec))
        return path;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string name = path.filename().string();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (it->is_regular_file(ec2) && iequals(it->path().filename().string(), name))
            return path.has_parent_path() ? folder / it->path().filename() : it->path().filename();
    }
    return path;
}

} // namespace core
