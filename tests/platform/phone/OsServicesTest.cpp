// The OS services stand-in: the wireless device list by ordinal, its power switch, and
// giving the list back.
#include <gtest/gtest.h>

#include <cstddef>

#include "platform/base/Library.h"
#include "platform/phone/OsServices.h"

namespace {

struct OsServices {
    OsServices() {
        platform::phone::RegisterOsServicesStandIn();
        module = LoadLibraryW(u"ossvcs.dll");
        getDevices = reinterpret_cast<PFN_GET_WIRELESS_DEVICES>(GetProcAddress(module, MAKEINTRESOURCEA(276)));
        changePower = reinterpret_cast<PFN_CHANGE_DEVICE_POWER>(GetProcAddress(module, MAKEINTRESOURCEA(273)));
        freeDevices = reinterpret_cast<PFN_FREE_WIRELESS_DEVICES>(GetProcAddress(module, MAKEINTRESOURCEA(280)));
    }
    ~OsServices() {
        FreeLibrary(module);
        platform::phone::SetWirelessDevices({platform::phone::WirelessDevice{}});
    }

    HMODULE module;
    PFN_GET_WIRELESS_DEVICES getDevices;
    PFN_CHANGE_DEVICE_POWER changePower;
    PFN_FREE_WIRELESS_DEVICES freeDevices;
};

TEST(OsServices, ListsTheSimulatedDevicesInOrder) {
    OsServices services;
    ASSERT_NE(services.module, nullptr);
    ASSERT_NE(services.getDevices, nullptr);
    ASSERT_NE(services.changePower, nullptr);
    ASSERT_NE(services.freeDevices, nullptr);
    static_assert(offsetof(OSSVCS_DEVICE, kind) == 16);

    OSSVCS_DEVICE* list = nullptr;
    ASSERT_EQ(services.getDevices(&list, 0), S_OK);
    ASSERT_NE(list, nullptr) << "a handset has its phone radio until told otherwise";
    EXPECT_EQ(list->kind, OSSVCS_DEVICE_PHONE);
    EXPECT_EQ(list->powerState, OSSVCS_POWER_ON);
    EXPECT_EQ(list->next, nullptr);
    EXPECT_EQ(services.freeDevices(list), S_OK);

    platform::phone::SetWirelessDevices(
        {{OSSVCS_DEVICE_WIFI, OSSVCS_POWER_OFF}, {OSSVCS_DEVICE_BLUETOOTH, OSSVCS_POWER_ON}});
    ASSERT_EQ(services.getDevices(&list, 0), S_OK);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->next, nullptr);
    EXPECT_EQ(list->id, 1u);
    EXPECT_EQ(list->kind, OSSVCS_DEVICE_WIFI);
    EXPECT_EQ(list->size, sizeof(OSSVCS_DEVICE));
    EXPECT_EQ(list->next->kind, OSSVCS_DEVICE_BLUETOOTH);
    EXPECT_EQ(list->next->next, nullptr);

    // Powering the first device on changes the simulation, not the list already handed out.
    EXPECT_EQ(services.changePower(list, OSSVCS_POWER_ON, 0), S_OK);
    EXPECT_EQ(list->powerState, OSSVCS_POWER_OFF);
    EXPECT_EQ(platform::phone::WirelessDevices()[0].powerState, OSSVCS_POWER_ON);
    EXPECT_EQ(services.changePower(list, 7, 0), E_INVALIDARG);
    EXPECT_EQ(services.freeDevices(list), S_OK);

    platform::phone::SetWirelessDevices({});
    list = reinterpret_cast<OSSVCS_DEVICE*>(1);
    ASSERT_EQ(services.getDevices(&list, 0), S_OK);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(services.freeDevices(nullptr), S_OK);
    EXPECT_EQ(services.getDevices(nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(services.getDevices(&list, 1), E_INVALIDARG);
    OSSVCS_DEVICE unknown{};
    unknown.id = 3;
    EXPECT_EQ(services.changePower(&unknown, OSSVCS_POWER_ON, 0), E_INVALIDARG);
}

}  // namespace
