#pragma once
// One device item as UTF-8 texts, one per row of its store's property table; an empty text is no
// value. The rows are named by the store's field enumeration.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace orvale {

// Appends the text with its length before it, so that different sets of texts never give the same
// result (what content comparisons rely on).
inline void appendCountedText(std::string& out, std::string_view text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
}

template <typename Field, std::size_t N>
class FieldTexts {
public:
    static constexpr std::size_t kRows = N;

    std::string& operator[](Field f) { return rows_[static_cast<std::size_t>(f)]; }
    const std::string& operator[](Field f) const { return rows_[static_cast<std::size_t>(f)]; }
    std::string& row(std::size_t r) { return rows_.at(r); }
    const std::string& row(std::size_t r) const { return rows_.at(r); }
    void clear() { rows_ = {}; }
    // Every row, counted (appendCountedText): equal exactly when all rows are.
    std::string countedText() const {
        std::string out;
        for (const auto& r : rows_) appendCountedText(out, r);
        return out;
    }
    bool operator==(const FieldTexts&) const = default;

private:
    std::array<std::string, N> rows_{};
};

}  // namespace orvale
