#pragma once

namespace quorlix {

// Releases an object of a C library through its free or destroy function, for unique_ptr.
template <auto release>
struct FunctionDeleter {
    template <typename T>
    void operator()(T* object) const {
        release(object);
    }
};

}  // namespace quorlix
