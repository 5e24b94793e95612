#include "install/Sha256.h"

#include "win32/UniqueHandles.h"

#include <algorithm>

bool Sha256Of(const std::string& bytes, Sha256Digest& digest)
{
    UniqueHashAlgorithm algorithm;
    UniqueHashObject hash;
    // A null hash-object buffer lets the system keep the object's memory (Windows 7 and later).
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0)))
        return false;
    // BCryptHashData takes a ULONG count: larger inputs go in pieces.
    const size_t pieceLimit = 1u << 30;
    for (size_t done = 0; done < bytes.size();)
    {
        const size_t piece = std::min(bytes.size() - done, pieceLimit);
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done));
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), data, static_cast<ULONG>(piece), 0)))
            return false;
        done += piece;
    }
    return BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
}
