#pragma once
// Every limit of a product catalogue, as the selection movie's parser
// (movie/src/orvane/model/CatalogParser.hx) sets it. The core's reader
// applies them, the update and `zcatalog` refuse by them, and the
// publisher's guide (docs/publishing-updates.md) lists them: a change here
// is a change of the movie's parser and of that guide.

#include <cstddef>

namespace orvane {

// The whole file.
inline constexpr std::size_t kMaxCatalogBytes = 1024 * 1024;
// Element levels, the root's included.
inline constexpr int kMaxCatalogNesting = 8;
// Item elements: the movie reads no more than this many items and drops the
// rest, so a catalogue holding more is refused as a whole.
inline constexpr std::size_t kMaxCatalogItems = 500;
// The root's edition: digits separated by dots, at most this many characters.
inline constexpr std::size_t kMaxCatalogEditionLength = 32;

// An item's texts: a code (letter or digit, then letters, digits, '.', '_',
// '-'), an order number (the same and '/'), a description (longer ones cut).
inline constexpr std::size_t kMaxItemCodeLength = 24;
inline constexpr std::size_t kMaxOrderNumberLength = 32;
inline constexpr std::size_t kMaxDescriptionCharacters = 40;

// An item's figures: whole numbers of at most six digits.
inline constexpr std::size_t kMaxNumberDigits = 6;
// A price: at most seven digits before the point and two after it.
inline constexpr std::size_t kMaxPriceWholeDigits = 7;
inline constexpr std::size_t kMaxPriceFractionDigits = 2;
// Bases one CPU may drive (maxbases), the main one included.
inline constexpr long kMaxBasesPerCpu = 8;
// Slots of a base or expansion base, and of one module.
inline constexpr long kMaxBaseSlots = 64;
inline constexpr long kMaxModuleSlots = 4;
// Format 3 figures: a rail width in mm with up to one decimal (at most
// kMaxWidthTenthMm tenths), a loss and a loss per point in W with up to
// three decimals (at most kMaxLossMilliwatt / kMaxLossPerPointMilliwatt mW).
inline constexpr std::size_t kMaxFigureWholeDigits = 4;
inline constexpr long kMaxWidthTenthMm = 20000;
inline constexpr long kMaxLossMilliwatt = 1000000;
inline constexpr long kMaxLossPerPointMilliwatt = 10000;
// Different accessories one item may require (each 1 to 99 pieces).
inline constexpr std::size_t kMaxAccessoriesPerItem = 8;

}  // namespace orvane
