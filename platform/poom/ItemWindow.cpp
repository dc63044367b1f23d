// The item window: laying out the fields of an item, and taking the edited values back.
#include "platform/poom/ItemWindow.h"

#include <vector>

#include "platform/cedb/CeTypes.h"
#include "platform/poom/ItemFields.h"
#include "platform/poom/ModalDialog.h"
#include "platform/poom/PimSession.h"
#include "platform/user/Window.h"

namespace platform::poom {

namespace {

constexpr LONG kRowHeight = 24;
constexpr LONG kMargin = 4;

struct ShownField {
    const ItemField* field;
    HWND child;
    std::u16string shown;
};

// Takes the children's texts into the item; a text that is no value of its field is left out.
void TakeEdits(PimItemState& item, const std::vector<ShownField>& fields) {
    for (const ShownField& shown : fields) {
        std::u16string text = ModalDialog::TextOf(shown.child);
        if (text == shown.shown) continue;
        cedb::PropertyValue value;
        bool present = false;
        if (!ParseField(*shown.field, text, value, present)) continue;
        if (present)
            item.Set(std::move(value));
        else
            item.Remove(shown.field->id);
    }
}

}  // namespace

HRESULT ShowItemWindow(PimItemState& item, HWND owner, bool allFields) {
    std::u16string title = ItemTypeLabel(item.ItemType());
    std::u16string summary = ItemSummary(item.ItemType(), item.Values());
    if (!summary.empty()) title += u": " + summary;
    ModalDialog dialog;
    if (!dialog.Create(owner, title)) return LastErrorResult();

    RECT client{};
    GetClientRect(dialog.Window(), &client);
    LONG labelWidth = (client.right - client.left) * 2 / 5;
    std::vector<ShownField> shown;
    LONG top = kMargin;
    for (const ItemField& field : FieldsOf(item.ItemType())) {
        std::u16string text = FormatField(field, item.Find(field.id));
        if (!allFields && text.empty()) continue;
        dialog.AddText(kItemWindowLabelId, field.label, RECT{kMargin, top, labelWidth, top + kRowHeight});
        HWND child = dialog.AddText(PROP_ID(field.id), text,
                                    RECT{labelWidth + kMargin, top, client.right - kMargin, top + kRowHeight});
        if (child == nullptr) return LastErrorResult();
        shown.push_back({&field, child, std::move(text)});
        top += kRowHeight;
    }

    if (dialog.Run([](int id) { return id == IDOK; }) != IDOK) return S_OK;
    TakeEdits(item, shown);
    if (item.IsSaved() && !item.HasChanges()) return S_OK;
    return item.Save();
}

}  // namespace platform::poom
