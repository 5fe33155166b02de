#include "stores/vcalendar/VCalendarFields.h"

#include "platform/DecimalText.h"
#include "platform/TextConversion.h"
#include "stores/ItemList.h"
#include "stores/vcalendar/VCalendarTime.h"

namespace orvale::vcalendar {

namespace pim = platform::pim;

namespace {
RowKind rowKind(FieldKind kind) {
    switch (kind) {
        case FieldKind::Text: return RowKind::Text;
        case FieldKind::Integer: return RowKind::Number16;
        case FieldKind::Flag: return RowKind::Flag;
        case FieldKind::Time: return RowKind::Time;
    }
    return RowKind::Skip;
}

bool present(const pim::PropValue& value) { return (value.flags & pim::kFlagNotFound) == 0; }
}  // namespace

std::vector<std::uint32_t> propertyIds(std::span<const FieldProperty> table) {
    std::vector<std::uint32_t> ids;
    ids.reserve(table.size());
    for (const FieldProperty& p : table) ids.push_back(p.identifier);
    return ids;
}

std::vector<FingerprintRow> fingerprintRows(std::span<const FieldProperty> table) {
    std::vector<FingerprintRow> rows;
    rows.reserve(table.size());
    for (const FieldProperty& p : table) rows.push_back({p.identifier, rowKind(p.kind)});
    return rows;
}

pim::PropValue deviceValue(const FieldProperty& property, const std::string& text) {
    pim::PropValue v;
    v.id = property.identifier;
    switch (property.kind) {
        case FieldKind::Text:
            v.text = platform::utf8ToUtf16(text);
            break;
        case FieldKind::Integer:
            v.u32 = static_cast<std::uint32_t>(platform::leadingDecimal(text));
            break;
        case FieldKind::Flag:
            v.u32 = !text.empty() && text != "0" ? 1 : 0;
            break;
        case FieldKind::Time:
            v.fileTime = text.empty() ? noDateFileTime() : fileTimeOfText(text);
            break;
    }
    return v;
}

std::string textOfValue(const pim::PropValue& value) {
    return present(value) ? platform::utf16ToUtf8(value.text) : std::string();
}

std::string flagOfValue(const pim::PropValue& value) { return present(value) && value.u32 != 0 ? "1" : "0"; }

const pim::RecurrencePattern* trackedPattern(const pim::Item& item, const pim::PropValue& isRecurring) {
    return present(isRecurring) && isRecurring.u32 != 0 ? item.recurrencePattern() : nullptr;
}

std::unique_ptr<pim::Item> deviceItemByKey(const std::string& key, int type) {
    pim::Session* session = pim::Session::current();
    if (session == nullptr) return nullptr;
    auto item = session->itemByOid(oidForKey(key));
    if (!item || item->type() != type) return nullptr;
    return item;
}

}  // namespace orvale::vcalendar
