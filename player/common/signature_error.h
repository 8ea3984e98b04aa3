#pragma once

#include <stdexcept>
#include <string>

namespace quorlix {

// A code signature that cannot be read, or a file that does not match its signature; what() says
// which, in English.
class SignatureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace quorlix
