#pragma once
// Amounts in fen (0.01 of the currency) as text.

#include <cstdint>
#include <cstdio>
#include <string>

namespace orvane::detail {

// The currency's units with two decimals: 68050 is "680.50", -5 is "-0.05".
inline std::string MoneyText(std::int64_t fen)
{
    const unsigned long long amount = fen < 0 ? 0ULL - static_cast<unsigned long long>(fen) : fen;
    char text[32];
    std::snprintf(text, sizeof text, "%s%llu.%02llu", fen < 0 ? "-" : "", amount / 100, amount % 100);
    return text;
}

}  // namespace orvane::detail
