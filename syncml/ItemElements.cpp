#include "syncml/ItemElements.h"

#include "syncml/DevInfElements.h"

namespace orvale {

void ItemElement::setDataOpaque(const std::string& bytes) {
    auto* c = new CData();
    setChildField(item_field::Data, c);
    c->setOpaque(bytes.data(), bytes.size());
}

void ItemElement::setDataDevInf(DevInfoElement* devInf) {
    auto* c = new CData();
    setChildField(item_field::Data, c);
    c->setDevInf(devInf);
}

}  // namespace orvale
