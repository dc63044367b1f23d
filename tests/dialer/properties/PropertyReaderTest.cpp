// The two property readers: the override reader in front of the list, and their
// different answers to a missing out-pointer.
#include <gtest/gtest.h>

#include <functional>

#include "dialer/properties/PropertySet.h"
#include "dialer/properties/StandardProperties.h"

namespace {

// An override that answers the name "Own" (and counts the reads it was asked).
class COverride : public CUnknownImpl<IPropertyReader> {
public:
    HRESULT GetInt(CPropertyKey key, LONG* out) override {
        ++asked;
        if (!key.IsName() || std::u16string(key.GetName()) != u"Own") return E_FAIL;
        *out = 100;
        return S_OK;
    }
    HRESULT GetString(CPropertyKey, BSTR*) override { return E_FAIL; }
    HRESULT GetPoint(CPropertyKey, POINT*) override { return E_FAIL; }
    HRESULT GetRect(CPropertyKey, RECT*) override { return E_FAIL; }
    HRESULT GetFont(CPropertyKey, HFONT*) override { return E_FAIL; }
    HRESULT GetObject(CPropertyKey, IUnknown** out) override {
        AddRef();
        *out = this;
        return S_OK;
    }
    int asked = 0;
};

HRESULT Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (COrmException exception) {
        return exception.code;
    }
    return S_OK;
}

TEST(PropertySet, OverrideAnswersFirstAndTheListFillsIn) {
    CPropertyList list;
    AddIntProperty(list, u"Own", 1);
    AddIntProperty(list, u"Listed", 2);
    AddStringProperty(list, 7, u"Keypad");
    CInterfacePtr<COverride> override(new COverride());
    CInterfacePtr<IPropertyReader> reader = CreatePropertySet(list, override.Get());

    LONG value = 0;
    EXPECT_EQ(reader->GetInt(u"Own", &value), S_OK);
    EXPECT_EQ(value, 100) << "the override's S_OK is final";
    EXPECT_EQ(reader->GetInt(u"Listed", &value), S_OK);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(override->asked, 2);
    EXPECT_EQ(reader->GetInt(u"Absent", &value), E_FAIL);

    BSTR text = nullptr;
    ASSERT_EQ(reader->GetString(7, &text), S_OK);
    EXPECT_EQ(std::u16string(text), u"Keypad");
    EXPECT_EQ(SysStringLen(text), 6u);
    SysFreeString(text);

    IUnknown* object = nullptr;
    EXPECT_EQ(reader->GetObject(14, &object), S_OK);
    EXPECT_EQ(object, static_cast<IUnknown*>(override.Get()));
    object->Release();

    CInterfacePtr<IPropertyReader> plain = CreatePropertySet(CPropertyList(), nullptr);
    EXPECT_EQ(plain->GetObject(14, &object), E_FAIL);
    EXPECT_EQ(plain->GetInt(1, &value), E_FAIL);
}

TEST(PropertyReaders, MissingOutPointerThrowsFromThePropertySetAndIsReturnedByTheStandardReader) {
    CPropertyList list;
    AddIntProperty(list, 3, 1);
    CInterfacePtr<IPropertyReader> set = CreatePropertySet(list, nullptr);
    CInterfacePtr<IStandardProperties> standard = CreateStandardProperties(list);
    EXPECT_EQ(Thrown([&] { set->GetInt(3, nullptr); }), E_INVALIDARG);
    EXPECT_EQ(Thrown([&] { set->GetString(3, nullptr); }), E_INVALIDARG);
    EXPECT_EQ(Thrown([&] { set->GetObject(3, nullptr); }), E_INVALIDARG);
    EXPECT_EQ(standard->GetInt(3, nullptr), E_INVALIDARG);
    EXPECT_EQ(standard->GetRect(3, nullptr), E_INVALIDARG);
    EXPECT_EQ(standard->GetObject(3, nullptr), E_INVALIDARG);
    EXPECT_EQ(standard->GetDefaultFontValue(nullptr), E_INVALIDARG);
    IUnknown* object = nullptr;
    EXPECT_EQ(standard->GetObject(3, &object), E_FAIL);
}

TEST(StandardProperties, FixedKeyAccessors) {
    CPropertyList list;
    AddRectProperty(list, PROPERTY_BOUND_RECT, RECT{0, 0, 480, 800});
    AddPointProperty(list, PROPERTY_CENTER, POINT{240, 400});
    AddStringProperty(list, PROPERTY_SKIN, u"Dialer");
    AddIntProperty(list, PROPERTY_NO_KBD_NAVIGATION, 2);
    CInterfacePtr<IStandardProperties> reader = CreateStandardProperties(list);

    RECT rect{};
    EXPECT_EQ(reader->GetBoundRect(&rect), S_OK);
    EXPECT_EQ(rect.bottom, 800);
    POINT point{};
    EXPECT_EQ(reader->GetCenter(&point), S_OK);
    EXPECT_EQ(point.x, 240);
    EXPECT_EQ(reader->GetLeftTop(&point), E_FAIL);
    BSTR name = nullptr;
    ASSERT_EQ(reader->GetObjectName(&name), S_OK);
    EXPECT_EQ(std::u16string(name), u"Dialer");
    SysFreeString(name);

    BOOL flag = TRUE;
    EXPECT_EQ(reader->GetNoGesture(&flag), E_FAIL);
    EXPECT_FALSE(flag) << "the flag is cleared before the read";
    EXPECT_EQ(reader->GetNoKbdNavigation(&flag), S_OK);
    EXPECT_TRUE(flag);

    EXPECT_FALSE(reader->IsFlag8Clear());
    CPropertyList withFlag = list;
    AddIntProperty(withFlag, PROPERTY_FLAG8, 0);
    EXPECT_TRUE(CreateStandardProperties(withFlag)->IsFlag8Clear());
    AddIntProperty(withFlag, PROPERTY_FLAG8, 1);
    EXPECT_FALSE(CreateStandardProperties(withFlag)->IsFlag8Clear());

    void* found = nullptr;
    EXPECT_EQ(reader->QueryInterface(IID_IStandardProperties, &found), S_OK);
    static_cast<IStandardProperties*>(found)->Release();
}

}  // namespace
