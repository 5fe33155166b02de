#pragma once
// One device item as UTF-8 texts, one per row of its store's property table; an empty text is no
// value. The rows are named by the store's field enumeration.
#include <array>
#include <cstddef>
#include <string>

namespace orvale {

template <typename Field, std::size_t N>
class FieldTexts {
public:
    static constexpr std::size_t kRows = N;

    std::string& operator[](Field f) { return rows_[static_cast<std::size_t>(f)]; }
    const std::string& operator[](Field f) const { return rows_[static_cast<std::size_t>(f)]; }
    std::string& row(std::size_t r) { return rows_.at(r); }
    const std::string& row(std::size_t r) const { return rows_.at(r); }
    void clear() { rows_ = {}; }
    bool operator==(const FieldTexts&) const = default;

private:
    std::array<std::string, N> rows_{};
};

}  // namespace orvale
