#include "engine/DeviceInfo.h"
#include "engine/StatusCodes.h"

#include "syncml/CommandElements.h"
#include "syncml/DevInfElements.h"

namespace orvale {
namespace {

MetInfElem* devInfTypeMeta() {
    auto* meta = new MetInfElem();
    meta->setType(kDevInfWbxmlType);
    return meta;
}

std::string targetOf(const ItemElement* item) {
    const SourceOrTarget* t = item != nullptr ? item->target() : nullptr;
    return t != nullptr ? t->locURI() : std::string();
}

Result* resultsFor(const PutOrGet& get, const std::string& target, const ClientConfig& config, std::uint32_t cmdId,
                   const std::string& msgRef) {
    auto* r = new Result();
    r->setCmdID(static_cast<std::int64_t>(cmdId));
    r->setMsgRef(msgRef);
    r->setCmdRef(get.cmdID());
    r->setMeta(devInfTypeMeta());
    auto* item = new ItemElement();
    item->setSource(new SourceOrTarget(target));
    item->setDataDevInf(buildDeviceInfo(config));
    r->addItems(item);
    return r;
}

}  // namespace

int answerGet(const PutOrGet& get, const ClientConfig& config, std::uint32_t& nextCmdId, const std::string& msgRef,
              std::vector<Result*>& results, bool& devInfSent) {
    const ItemListElement* items = get.items();
    int status = kStatusBadRequest;
    if (items == nullptr) return status;
    for (std::size_t i = 0; i < items->size(); ++i) {
        const std::string target = targetOf(items->at(i));
        // Only the DevInf 1.1 document exists here; a request for the 1.0 one is not served.
        if (target != kDevInfTarget11) {
            status = kStatusNotFound;
        } else if (devInfSent) {
            status = results.empty() ? kStatusOptionalFeatureNotSupported : kStatusOk;
        } else {
            results.push_back(resultsFor(get, target, config, nextCmdId++, msgRef));
            devInfSent = true;
            status = kStatusOk;
        }
    }
    return status;
}

PutOrGet* buildDeviceInfoGet(std::uint32_t cmdId, const std::string& verDtd) {
    auto* get = new PutOrGet(element_type::Get);
    get->setCmdID(static_cast<std::int64_t>(cmdId));
    get->setMeta(devInfTypeMeta());
    auto* item = new ItemElement();
    item->setTarget(new SourceOrTarget(verDtd == "1.1" ? kDevInfTarget11 : kDevInfTarget10));
    get->addItems(item);
    return get;
}

}  // namespace orvale
