#pragma once

#include <array>
#include <cstddef>

// Sample indices run from -100 to 100: sample k of a trajectory belongs to time k * dt.
inline constexpr int kFirstSample = -100;
inline constexpr int kLastSample = 100;
inline constexpr int kSampleCount = kLastSample - kFirstSample + 1;

// A fixed array of 201 values indexed by sample index.
template <typename T>
class SampleArray {
public:
    T &operator()(int k) { return values_[slot(k)]; }
    const T &operator()(int k) const { return values_[slot(k)]; }

    static constexpr bool contains(int k) { return k >= kFirstSample && k <= kLastSample; }

private:
    static constexpr std::size_t slot(int k) { return static_cast<std::size_t>(k - kFirstSample); }

    std::array<T, kSampleCount> values_{};
};
