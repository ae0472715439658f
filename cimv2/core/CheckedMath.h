#pragma once
// Arithmetic on numbers read from the machine: a damaged or hostile source
// can give any 64-bit value, and a sum or product that does not fit is no
// value at all (the property stays null) rather than a wrapped one.
#include <cstdint>
#include <optional>

namespace cimv2 {

inline std::optional<uint64_t> CheckedAdd(uint64_t a, uint64_t b) {
    uint64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
    return sum;
}

inline std::optional<uint64_t> CheckedMul(uint64_t a, uint64_t b) {
    uint64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
    return product;
}

inline std::optional<int64_t> CheckedAdd(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
    return sum;
}

// Both given, and their sum.
inline std::optional<uint64_t> CheckedAdd(std::optional<uint64_t> a, std::optional<uint64_t> b) {
    if (!a || !b) return std::nullopt;
    return CheckedAdd(*a, *b);
}

}  // namespace cimv2
