// Style files: named colours, the button text scale and brush records.
#include "engine/overlay/menu/MenuStyle.h"

#include <cstring>

#include "engine/core/files/TagFile.h"
#include "engine/core/math/ColorMath.h"
#include "engine/overlay/widgets/SimpleWidgets.h"

namespace {

constexpr const char* kCornerUv[4] = {"UV_TOPLEFT", "UV_TOPRIGHT", "UV_BOTRIGHT", "UV_BOTLEFT"};
constexpr const char* kCornerColour[4] = {"COL_TOPLEFT", "COL_TOPRIGHT", "COL_BOTRIGHT", "COL_BOTLEFT"};
constexpr float kDefaultUv[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};

bool HasChildNode(TagFile& node, const char* childName) {
    for (KDLLink* link = node.children.head; link != nullptr; link = link->next) {
        auto* child = static_cast<TagFile*>(link->item);
        if (std::strcmp(child->name.Text(), childName) == 0) return true;
    }
    return false;
}

}  // namespace

BrushRecord::~BrushRecord() { ReleaseTextureHandle(brush); }

MenuStyle::~MenuStyle() {
    ListDeleteAll(brushes, [](void* item) { delete static_cast<BrushRecord*>(item); });
    ListDeleteAll(colors, [](void* item) { delete static_cast<NamedColor*>(item); });
}

BrushRecord* MenuStyle::FindBrush(const char* brushName) const {
    if (brushName == nullptr) return nullptr;
    for (KDLLink* link = brushes.head; link != nullptr; link = link->next) {
        auto* record = static_cast<BrushRecord*>(link->item);
        if (std::strcmp(record->name.Text(), brushName) == 0) return record;
    }
    return nullptr;
}

Color MenuStyle::FindColor(const char* colorName) const {
    if (colorName != nullptr) {
        for (KDLLink* link = colors.head; link != nullptr; link = link->next) {
            auto* named = static_cast<NamedColor*>(link->item);
            if (std::strcmp(named->name.Text(), colorName) == 0) return named->color;
        }
    }
    return Color{1.0f, 0.0f, 0.0f, 1.0f};
}

int ReadBrushRecord(BrushRecord& record, TagFile& node) {
    Brush& brush = record.brush;
    ReleaseTextureHandle(brush);
    brush.flags = kBrushCornerColours | kBrushCombineA;
    for (int i = 0; i < 8; ++i) brush.corners[i] = kDefaultUv[i];
    for (DWORD& colour : brush.colours) colour = 0xFFFFFFFF;
    if (node.FindTag("NO_ALPHA") != nullptr) brush.flags &= ~kBrushCombineA;
    if (node.FindTag("NO_SHADING") != nullptr) brush.flags &= ~kBrushCornerColours;
    if (HasChildNode(node, "FORCE_COLOR")) brush.flags |= kBrushCombineB;
    if (HasChildNode(node, "USE_CURRENT")) brush.flags |= kBrushUseCurrent;
    if (node.FindTag("CENTERSCALED") != nullptr) brush.flags |= kBrushNineSlice;
    for (int corner = 0; corner < 4; ++corner) {
        if (TagFileTag* tag = node.FindTag(kCornerUv[corner])) {
            tag->GetFloat(0, brush.corners[2 * corner]);
            tag->GetFloat(1, brush.corners[2 * corner + 1]);
        }
        if (TagFileTag* tag = node.FindTag(kCornerColour[corner])) {
            Color colour{1.0f, 1.0f, 1.0f, 1.0f};
            tag->GetColor(0, colour);
            brush.colours[corner] = ColorToARGB(colour);
        }
    }
    EngineString image;
    TagFileTag* imageTag = node.FindTag("IMAGE");
    if (imageTag != nullptr && imageTag->GetString(0, image) != 0 && !image.IsEmpty()) {
        record.image = image;
        const EngineString path = EngineString("ui/").Concat(image);
        LoadTextureHandle(brush, path.Text(), 0);
    } else {
        brush.flags &= ~kBrushTextured;
    }
    return 1;
}

int ReadMenuStyle(MenuStyle& style, TagFile& tree) {
    if (TagFile* colours = tree.FindChild("COLORS")) {
        for (KDLLink* link = colours->tags.head; link != nullptr; link = link->next) {
            auto* tag = static_cast<TagFileTag*>(link->item);
            auto* named = new NamedColor;
            if (named == nullptr) continue;
            named->name = tag->name;
            tag->GetColor(0, named->color);
            if (ListAppend(style.colors, named) == nullptr) delete named;
        }
    }
    if (TagFile* settings = tree.FindChild("BUTTON_SETTINGS")) {
        if (TagFileTag* scale = settings->FindTag("TEXTSCALE")) {
            float value = 0.0f;
            if (scale->GetFloat(0, value) == 0) value = 0.0f;
            ButtonTextScale = value;
        }
    }
    if (TagFile* brushes = tree.FindChild("BRUSHES")) {
        for (KDLLink* link = brushes->children.head; link != nullptr; link = link->next) {
            auto* node = static_cast<TagFile*>(link->item);
            auto* record = new BrushRecord;
            if (record == nullptr) return 0;
            record->name = node->name;
            if (ReadBrushRecord(*record, *node) == 0 || ListAppend(style.brushes, record) == nullptr) {
                delete record;
                return 0;
            }
        }
    }
    return 1;
}
