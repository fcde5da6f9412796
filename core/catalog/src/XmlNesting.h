#pragma once
// How deeply the elements of an XML text nest, found without parsing it, by
// the scan the selection movie makes (movie/src/orvane/model/XmlNesting.hx)
// before it reads a catalogue: both readers refuse the same texts for their
// nesting. Comments, CDATA, declarations and quoted attribute values are
// stepped over; a text that ends inside one of them, or inside a tag, is not
// measured further (the XML reader refuses it). Linear in the text.

#include <string_view>

namespace orvane::detail {

// Whether elements nest deeper than limit levels somewhere in text.
[[nodiscard]] bool XmlNestsDeeperThan(std::string_view text, int limit);

}  // namespace orvane::detail
