#pragma once

#include <string>

namespace quorlix {

// Removes the file at a path when it goes, unless Keep() was called first: the clean-up of a
// file that a failed write would leave behind. An empty path guards nothing.
class RemovalGuard {
public:
    explicit RemovalGuard(std::string path) : path_(std::move(path)) {}
    ~RemovalGuard();
    RemovalGuard(const RemovalGuard&) = delete;
    RemovalGuard& operator=(const RemovalGuard&) = delete;

    // The write succeeded: the file stays.
    void Keep() { path_.clear(); }

private:
    std::string path_;
};

}  // namespace quorlix
