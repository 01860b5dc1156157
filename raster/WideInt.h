#pragma once

#include <cstdint>

namespace vistrel {

__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// A 256-bit two's complement integer with just what the ellipse walk needs: its error terms
// reach 4 w^2 h^2, past 128 bits once a box is 2^31 pixels wide.
class Int256 {
  public:
    Int256(Int128 v = 0) {  // NOLINT: converts like the built-in integers
        const auto u = static_cast<UInt128>(v);
        word[0] = static_cast<std::uint64_t>(u);
        word[1] = static_cast<std::uint64_t>(u >> 64);
        word[2] = word[3] = v < 0 ? ~std::uint64_t{0} : 0;
    }

    friend Int256 operator+(Int256 a, const Int256& b) {
        UInt128 carry = 0;
        for (int i = 0; i < 4; ++i) {
            carry += static_cast<UInt128>(a.word[i]) + b.word[i];
            a.word[i] = static_cast<std::uint64_t>(carry);
            carry >>= 64;
        }
        return a;
    }

    // Modulo 2^256, which is exact for two's complement operands whose product fits.
    friend Int256 operator*(const Int256& a, const Int256& b) {
        Int256 r;
        for (int i = 0; i < 4; ++i) {
            UInt128 carry = 0;
            for (int j = 0; i + j < 4; ++j) {
                const UInt128 cur =
                    static_cast<UInt128>(a.word[i]) * b.word[j] + r.word[i + j] + carry;
                r.word[i + j] = static_cast<std::uint64_t>(cur);
                carry = cur >> 64;
            }
        }
        return r;
    }

    friend bool operator<(const Int256& a, const Int256& b) {
        if (a.word[3] != b.word[3]) {
            return static_cast<std::int64_t>(a.word[3]) < static_cast<std::int64_t>(b.word[3]);
        }
        for (int i = 2; i >= 0; --i) {
            if (a.word[i] != b.word[i]) {
                return a.word[i] < b.word[i];
            }
        }
        return false;
    }
    friend bool operator<=(const Int256& a, const Int256& b) { return !(b < a); }
    friend bool operator>=(const Int256& a, const Int256& b) { return !(a < b); }

  private:
    std::uint64_t word[4];
};

}  // namespace vistrel
