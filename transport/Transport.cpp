#include "transport/Transport.h"

namespace orvale {

Transport::~Transport() = default;

std::uint32_t Transport::status() const { return lastStatus_; }

}  // namespace orvale
