#include <gtest/gtest.h>

#include <string>

#include "support/TempDeviceRoot.h"
#include "syncml/DevInfDocument.h"
#include "syncml/DevInfElements.h"
#include "syncml/Toolkit.h"

namespace orvale {
namespace {

TEST(DevInfDocument, OpaqueDocumentBecomesARecordWithCtCapFlattenedBack) {
    const std::string bytes = test::readFileBytes(std::string(ORVALE_TEST_DATA) + "/syncml/devinf.wbxml");
    DevInfRecord* r = nullptr;
    ASSERT_EQ(decodeDevInfDocument(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &r), code::Ok);
    DevInfoElement* d = devInfFromRecord(r);
    d->addRef();
    toolkit::freeDevInfRecord(r);
    EXPECT_EQ(d->man(), "ExampleMaker");
    EXPECT_TRUE(d->utc());
    EXPECT_TRUE(d->supportLargeObjs());
    DevInfDataStoreElement* ds = d->dataStores()->first();
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(ds->sourceRef(), "./contacts");
    EXPECT_EQ(ds->rxPref()->verCT(), "2.1");
    EXPECT_EQ(ds->syncCap()->syncTypes()->size(), 2u);
    CtCapsInfElement* cap = d->ctCaps()->first();
    ASSERT_NE(cap, nullptr);
    EXPECT_EQ(cap->ctType(), "text/x-vcard");
    DevInfCtDataPropElement* prop = cap->props()->first();
    EXPECT_EQ(prop->property()->name(), "BEGIN");
    EXPECT_EQ(prop->property()->valEnums()->first()->bytes(), "VCARD");
    d->release();

    for (std::size_t n = 0; n < bytes.size(); ++n) {
        DevInfRecord* partial = nullptr;
        EXPECT_NE(decodeDevInfDocument(reinterpret_cast<const std::uint8_t*>(bytes.data()), n, &partial), code::Ok);
        EXPECT_EQ(partial, nullptr);
    }
}

}  // namespace
}  // namespace orvale
