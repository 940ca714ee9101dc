#pragma once

// Cipher parameters shared with the services; the reference services include
// this same header, so the two sides cannot drift apart.
namespace CipherConstants {

inline constexpr char kKeyText[] = "p4kw7tzemx2rhcyn";
inline constexpr char kIvText[] = "q3n8v1s6b0x5m2k7";
// Completes the 24-byte triple-DES key after the 16 bytes of the key text:
// the key text's first 8 bytes again (two-key triple DES, K1 K2 K1).
inline constexpr char kTripleDesKeyCompletion[] = "p4kw7tze";

static_assert(sizeof(kKeyText) == 17 && sizeof(kIvText) == 17);
static_assert(sizeof(kTripleDesKeyCompletion) == 9);

} // namespace CipherConstants
