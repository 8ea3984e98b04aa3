#include "platform/removal_guard.h"

#include <unistd.h>

#include <cerrno>

namespace quorlix {

RemovalGuard::~RemovalGuard() {
    if (!path_.empty()) {
        // An error on its way out keeps its own errno; the removal must not change it.
        const int saved = errno;
        ::unlink(path_.c_str());
        errno = saved;
    }
}

}  // namespace quorlix
