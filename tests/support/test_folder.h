#pragma once

#include <string>

namespace quorlix::test {

// A fresh, empty folder for one test, removed with everything in it when the object goes.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes bytes to a file, creating or replacing it.
void WriteFile(const std::string& path, const std::string& bytes);
// Reads a whole file; fails the test when it cannot.
std::string ReadFile(const std::string& path);
// Deterministic pseudo-random bytes.
std::string RandomBytes(std::size_t count, unsigned seed);

}  // namespace quorlix::test
