#pragma once
// The control's initial-properties block (control id 1000): the stream the
// control restores its saved state from, kept byte for byte as a resource.

#include "FlashPlayer.h"

#include <QByteArray>
#include <optional>

namespace orvane {

// The 244-byte block of control 1000: id, message 0x0376, length, data, 0.
QByteArray ControlInitialPropertiesBlock();

// The player settings the block holds; nullopt when the block is malformed.
std::optional<FlashProperties> ParseInitialProperties(const QByteArray& block);

}  // namespace orvane
