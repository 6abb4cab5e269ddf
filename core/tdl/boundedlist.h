#pragma once
// A list of at most N elements that stores only as far as it is used: index 0 .. N-1 is
// always valid, as in a fixed array, but a template of six fields keeps six. Reading an
// index that is not stored gives a default element; writing one stores every element up
// to it (default ones before it). An index of N or more throws std::out_of_range.
// Iteration covers the stored elements.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace core {

template <class T, std::size_t N>
class BoundedList {
public:
    static constexpr std::size_t kMax = N;

    // Elements stored: one past the highest index written since the last clear.
    std::size_t stored() const { return items_.size(); }

    const T& operator[](std::size_t i) const
    {
        check(i);
        if (i < items_.size())
            return items_[i];
        static const T none{};
        return none;
    }

    // A reference stays valid until a higher index is written.
    T& operator[](std::size_t i)
    {
        check(i);
        if (i >= items_.size())
            items_.resize(i + 1);
        return items_[i];
    }

    void clear() { items_.clear(); }
    // Room for n elements (at most N) before the next allocation.
    void reserve(std::size_t n) { items_.reserve(n < N ? n : N); }

    typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T>::const_iterator end() const { return items_.end(); }

private:
    static void check(std::size_t i)
    {
        if (i >= N)
            throw std::out_of_range("index " + std::to_string(i) + " past the last of " + std::to_string(N));
    }

    std::vector<T> items_;
};

} // namespace core
