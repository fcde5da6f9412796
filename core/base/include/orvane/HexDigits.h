#pragma once
// The digits every hexadecimal text of the program is written with.

namespace orvane {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace orvane
