// The object factory: turns the class name of a layout item into a live element object.
// "Orm.LSP.<type>" names the framework's generic layout objects, "Orm.Data.<type>[:text]"
// the dialer's data plug-ins. Every known type is listed in the two tables below; a type
// whose class has no object gives an empty result, as an unknown one does.
#pragma once

#include <string>

#include "dialer/foundation/Services.h"
#include "platform/base/Types.h"

enum class LayoutClassFamily { None, Generic, Data };

struct LayoutClassName {
    LayoutClassFamily family = LayoutClassFamily::None;
    std::u16string type;
    // The text after the first ':' of a data name; the object reads its own node instead.
    std::u16string argument;
};

// Splits a class name (prefixes compared with case). Throws E_INVALIDARG for null.
LayoutClassName ParseLayoutClassName(LPCWSTR className);

enum class GenericObjectKind {
    Background,
    Generic,
    Rect,
    Icon,
    Text,
    Frame,
    Button,
    SearchPanelDialog,
    LetterScrollControl,
    KnownWithoutObject,  // a name the layouts use for which no object is made
};

enum class DataObjectKind { CallLog, Contacts, Favourites, LetterScroll, DialPad, SearchPanel };

struct GenericObjectType {
    LPCWSTR name;
    GenericObjectKind kind;
    LONG index;  // for the search panel: -1 shared with the dialer page, 0 its own
};

struct DataObjectType {
    LPCWSTR name;
    DataObjectKind kind;
    LONG index;  // -1 for the plain name, 0 for the name ending in "Local"
};

// The table entries for a type (compared with case), or null for a type not listed.
const GenericObjectType* FindGenericObjectType(LPCWSTR type);
const DataObjectType* FindDataObjectType(LPCWSTR type);

class CObjectFactory : public CObjectFactoryService {
public:
    // The new object with one reference for the caller, or null. Throws E_INVALIDARG for a
    // null name.
    IUnknown* CreateObject(LPCWSTR className) override;

    static IUnknown* CreateGenericObject(LPCWSTR type);
    static IUnknown* CreateDataObject(LPCWSTR type);
};
