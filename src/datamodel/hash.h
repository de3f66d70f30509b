// Name hashes: CRC-32 (ISO-HDLC) over the low byte of each UTF-16 code unit.
#pragma once

#include <QString>

#include <cstdint>

namespace fmx {

// Case-insensitive for the letters a-z (they are raised to upper case first); "" hashes to 0.
uint32_t HashCRC32ci(const QString& text);
// The same without upper-casing (data checksums).
uint32_t HashCRC32cs(const QString& text);

} // namespace fmx
