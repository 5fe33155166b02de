#pragma once
// One property of a vCard / vCalendar item: its parameters, its values and the later properties of
// the same name ("repeats"), which travel with the first so that a component holds one entry per name.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvale {

struct VersitParameter {
    std::string name;  // empty for a bare parameter such as WORK in "TEL;WORK:..."
    std::string value;

    bool operator==(const VersitParameter&) const = default;
};

// Kept as a 32-bit code because the stores compare it with the codes they were written against.
enum class VersitValueKind : std::uint32_t {
    Plain = 0,
    EightBit = 1,  // a value holds a byte >= 0x80, or the line arrived quoted-printable
    Binary = 2,    // never quoted-printable (pictures travel as Base64)
};

class VersitProperty {
public:
    // The parameters are put into their canonical order: by name in byte order, equal names in the
    // order given (so bare parameters come first, as they came).
    VersitProperty(std::string name, std::vector<VersitParameter> parameters,
                   std::vector<std::string> values, VersitValueKind kind);

    const std::string& name() const { return name_; }
    const std::vector<VersitParameter>& parameters() const { return parameters_; }
    const std::vector<std::string>& values() const { return values_; }
    VersitValueKind kind() const { return kind_; }
    const std::vector<VersitProperty>& repeats() const { return repeats_; }

    void addParameter(std::string name, std::string value);
    void addRepeat(VersitProperty later);

    // The values joined with ";", as they are held (no decoding: what the parser stored is final).
    std::string joinedValues() const;
    // ";" + name + value for each parameter (no "="), then ":" and the joined values.
    std::string entryText() const;

private:
    std::string name_;
    std::vector<VersitParameter> parameters_;
    std::vector<std::string> values_;
    VersitValueKind kind_;
    std::vector<VersitProperty> repeats_;
};

}  // namespace orvale
