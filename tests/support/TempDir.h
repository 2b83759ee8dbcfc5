#pragma once
#include <string>

namespace melvarin::test {

// A fresh folder under the system's temporary folder, removed with everything in
// it when the object dies. path() ends with "/".
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + name.
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Writes `bytes` to `path`, creating parent folders. Fails the test on error.
void writeFile(const std::string& path, const std::string& bytes);
// Reads a whole file; empty when missing.
std::string readFile(const std::string& path);

// Runs a shell command line; returns its exit status and fills `output` with
// standard output (and standard error when `mergeStderr`).
int runCommand(const std::string& commandLine, std::string* output = nullptr, bool mergeStderr = false);

// Quotes `s` for a POSIX shell.
std::string shellQuote(const std::string& s);

}  // namespace melvarin::test
