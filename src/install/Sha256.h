// SHA-256 by the system's own hashing (bcrypt.dll): the digest an install compares each release file with
// before it writes a byte of it.
#pragma once

#include <array>
#include <string>

using Sha256Digest = std::array<unsigned char, 32>;

// False when the system cannot hash (no provider, no memory).
bool Sha256Of(const std::string& bytes, Sha256Digest& digest);
