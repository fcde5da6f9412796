#pragma once
// Owners of C library handles (OpenSSL, libcurl, iconv, directory listings):
// std::unique_ptr with the library's release function as the deleter.

#include <memory>

namespace orvane::detail {

// std::unique_ptr deleter that calls a C library's release function.
template <auto Free>
struct FreeWith {
    template <class T>
    void operator()(T* handle) const
    {
        Free(handle);
    }
};
template <class T, auto Free>
using Handle = std::unique_ptr<T, FreeWith<Free>>;

}  // namespace orvane::detail
