#include "stores/versit/VersitProperty.h"

#include <algorithm>

namespace orvale {

VersitProperty::VersitProperty(std::string name, std::vector<VersitParameter> parameters,
                               std::vector<std::string> values, VersitValueKind kind)
    : name_(std::move(name)), parameters_(std::move(parameters)), values_(std::move(values)), kind_(kind) {
    std::stable_sort(parameters_.begin(), parameters_.end(),
                     [](const VersitParameter& a, const VersitParameter& b) { return a.name < b.name; });
}

void VersitProperty::addParameter(std::string name, std::string value) {
    const auto at = std::upper_bound(parameters_.begin(), parameters_.end(), name,
                                     [](const std::string& n, const VersitParameter& p) { return n < p.name; });
    parameters_.insert(at, VersitParameter{std::move(name), std::move(value)});
}

void VersitProperty::addRepeat(VersitProperty later) { repeats_.push_back(std::move(later)); }

std::string VersitProperty::joinedValues() const {
    std::string out;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (i > 0) out += ';';
        out += values_[i];
    }
    return out;
}

std::string VersitProperty::entryText() const {
    std::string out;
    for (const auto& p : parameters_) {
        out += ';';
        out += p.name;
        out += p.value;
    }
    out += ':';
    out += joinedValues();
    return out;
}

}  // namespace orvale
