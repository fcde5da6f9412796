#pragma once
// Dotted version texts compared component by component.

#include <string>
#include <vector>

// Splits text at sep; "" gives no component, "1." gives {"1", ""}.
void _SplitString(const std::string& text, char sep, std::vector<std::string>& out);

namespace orvane {

// True when the server's version is newer than the local one. Components are
// compared as digit strings left-padded with '0' to equal width, from the
// first on; only as many components as the local version has are looked at,
// and when the server's components run out before a decision it is not newer.
[[nodiscard]] bool IsServerVersionNewer(const std::string& localVersion, const std::string& serverVersion);

}  // namespace orvane
