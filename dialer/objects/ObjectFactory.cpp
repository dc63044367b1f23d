// The type tables of the object factory and the objects made for them.
#include "dialer/objects/ObjectFactory.h"

#include <new>

#include "dialer/foundation/OrmException.h"
#include "dialer/objects/ButtonObject.h"
#include "dialer/objects/FrameObject.h"
#include "dialer/objects/GenericObject.h"
#include "dialer/objects/IconObject.h"
#include "dialer/objects/RectObject.h"
#include "platform/base/WideString.h"

namespace {

constexpr GenericObjectType kGenericTypes[] = {
    {u"SimpleBackgrd", GenericObjectKind::Background, 0},
    {u"Generic", GenericObjectKind::Generic, 0},
    {u"Rect", GenericObjectKind::Rect, 0},
    {u"Icon", GenericObjectKind::Icon, 0},
    {u"Text", GenericObjectKind::Text, 0},
    {u"Frame", GenericObjectKind::Frame, 0},
    {u"Button", GenericObjectKind::Button, 0},
    {u"PhoneNumber", GenericObjectKind::SearchPanelDialog, -1},
    {u"PhoneNumberLocal", GenericObjectKind::SearchPanelDialog, 0},
    {u"LetterScroll", GenericObjectKind::LetterScrollControl, 0},
    {u"Background", GenericObjectKind::KnownWithoutObject, 0},
    {u"DigitalClock", GenericObjectKind::KnownWithoutObject, 0},
    {u"AnalogClock", GenericObjectKind::KnownWithoutObject, 0},
    {u"Status", GenericObjectKind::KnownWithoutObject, 0},
    {u"Operator", GenericObjectKind::KnownWithoutObject, 0},
    {u"Date", GenericObjectKind::KnownWithoutObject, 0},
    {u"Weather", GenericObjectKind::KnownWithoutObject, 0},
    {u"Battery", GenericObjectKind::KnownWithoutObject, 0},
    {u"Calendar", GenericObjectKind::KnownWithoutObject, 0},
    {u"AdvancedCalendar", GenericObjectKind::KnownWithoutObject, 0},
    {u"ModernDClock", GenericObjectKind::KnownWithoutObject, 0},
    {u"Profile", GenericObjectKind::KnownWithoutObject, 0},
    {u"Form", GenericObjectKind::KnownWithoutObject, 0},
    {u"Separator", GenericObjectKind::KnownWithoutObject, 0},
    {u"TaskbarBackground", GenericObjectKind::KnownWithoutObject, 0},
    {u"SpName", GenericObjectKind::KnownWithoutObject, 0},
    {u"WirelessMngr", GenericObjectKind::KnownWithoutObject, 0},
    {u"AgendaCalendar", GenericObjectKind::KnownWithoutObject, 0},
    {u"Renderer", GenericObjectKind::KnownWithoutObject, 0},
    {u"Contact", GenericObjectKind::KnownWithoutObject, 0},
    {u"Link", GenericObjectKind::KnownWithoutObject, 0},
    {u"MenuBar", GenericObjectKind::KnownWithoutObject, 0},
    {u"ScrollBar", GenericObjectKind::KnownWithoutObject, 0},
    {u"Media", GenericObjectKind::KnownWithoutObject, 0},
};

constexpr DataObjectType kDataTypes[] = {
    {u"CallLog", DataObjectKind::CallLog, -1},
    {u"OrmContacts", DataObjectKind::Contacts, -1},
    {u"ListFavContacts", DataObjectKind::Favourites, -1},
    {u"LetterScroll", DataObjectKind::LetterScroll, -1},
    {u"LetterScrollLocal", DataObjectKind::LetterScroll, 0},
    {u"DialPad", DataObjectKind::DialPad, -1},
    {u"DialPadLocal", DataObjectKind::DialPad, 0},
    {u"SearchPanel", DataObjectKind::SearchPanel, -1},
    {u"SearchPanelLocal", DataObjectKind::SearchPanel, 0},
};

constexpr char16_t kGenericPrefix[] = u"Orm.LSP.";
constexpr char16_t kDataPrefix[] = u"Orm.Data.";

template <class TEntry, std::size_t Count>
const TEntry* FindType(const TEntry (&table)[Count], LPCWSTR type) {
    if (type == nullptr) return nullptr;
    for (const TEntry& entry : table)
        if (wcscmp(entry.name, type) == 0) return &entry;
    return nullptr;
}

// One reference for the caller on a new object, or null when memory is short.
template <class TObject>
IUnknown* MakeObject() {
    auto* object = new (std::nothrow) TObject();
    if (object == nullptr) return nullptr;
    object->AddRef();
    return object;
}

}  // namespace

LayoutClassName ParseLayoutClassName(LPCWSTR className) {
    if (className == nullptr) ThrowOrm(E_INVALIDARG);
    LayoutClassName result;
    constexpr std::size_t genericLength = ARRAYSIZE(kGenericPrefix) - 1;
    constexpr std::size_t dataLength = ARRAYSIZE(kDataPrefix) - 1;
    if (wcsncmp(className, kGenericPrefix, genericLength) == 0) {
        result.family = LayoutClassFamily::Generic;
        result.type = className + genericLength;
    } else if (wcsncmp(className, kDataPrefix, dataLength) == 0) {
        result.family = LayoutClassFamily::Data;
        const std::u16string rest = className + dataLength;
        const std::size_t colon = rest.find(u':');
        result.type = rest.substr(0, colon);
        if (colon != std::u16string::npos) result.argument = rest.substr(colon + 1);
    }
    return result;
}

const GenericObjectType* FindGenericObjectType(LPCWSTR type) { return FindType(kGenericTypes, type); }

const DataObjectType* FindDataObjectType(LPCWSTR type) { return FindType(kDataTypes, type); }

IUnknown* CObjectFactory::CreateObject(LPCWSTR className) {
    const LayoutClassName name = ParseLayoutClassName(className);
    switch (name.family) {
        case LayoutClassFamily::Generic:
            return CreateGenericObject(name.type.c_str());
        case LayoutClassFamily::Data:
            return CreateDataObject(name.type.c_str());
        case LayoutClassFamily::None:
            break;
    }
    return nullptr;
}

IUnknown* CObjectFactory::CreateGenericObject(LPCWSTR type) {
    const GenericObjectType* entry = FindGenericObjectType(type);
    if (entry == nullptr) return nullptr;
    switch (entry->kind) {
        case GenericObjectKind::Generic:
            return MakeObject<CGenericObject>();
        case GenericObjectKind::Rect:
            return MakeObject<CRectObject>();
        case GenericObjectKind::Icon:
            return MakeObject<CIconObject>();
        case GenericObjectKind::Frame:
            return MakeObject<CFrameObject>();
        case GenericObjectKind::Button:
            return MakeObject<CButtonObject>();
        // The skinned controls come with the element classes; until then their names give
        // no object, like the names listed without one.
        case GenericObjectKind::Background:
        case GenericObjectKind::Text:
        case GenericObjectKind::SearchPanelDialog:
        case GenericObjectKind::LetterScrollControl:
        case GenericObjectKind::KnownWithoutObject:
            break;
    }
    return nullptr;
}

IUnknown* CObjectFactory::CreateDataObject(LPCWSTR type) {
    const DataObjectType* entry = FindDataObjectType(type);
    if (entry == nullptr) return nullptr;
    // The dialer's plug-ins join here with the phone-book panels that implement them.
    switch (entry->kind) {
        case DataObjectKind::CallLog:
        case DataObjectKind::Contacts:
        case DataObjectKind::Favourites:
        case DataObjectKind::LetterScroll:
        case DataObjectKind::DialPad:
        case DataObjectKind::SearchPanel:
            break;
    }
    return nullptr;
}
