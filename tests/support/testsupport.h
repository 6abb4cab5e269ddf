#pragma once
// Helpers every test may use.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

namespace fs = std::filesystem;

inline fs::path fixturesDir() { return fs::path(TS_FIXTURES_DIR); }
inline fs::path dataDir() { return fs::path(TS_DATA_DIR); }
inline fs::path programBinary() { return fs::path(TS_BINARY); }
inline fs::path adapterPeerBinary() { return fs::path(TS_ADAPTER_PEER); }

// A fresh temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    // Writes bytes to a file below the folder and returns its path.
    fs::path write(const std::string& name, const std::string& bytes) const;

private:
    fs::path path_;
};

std::string readAll(const fs::path& p);

// The bytes of a hex dump file: two-digit hex words split by blanks; blank lines and
// lines starting with '#' are skipped.
std::vector<std::uint8_t> readHexBytes(const fs::path& p);

} // namespace testing_support
