#pragma once
// The concrete store kinds this program has, put into the kind registry when a factory is made.
namespace orvale {

void registerStoreKinds();

}  // namespace orvale
