// The texture resource: its data through a lost and re-created render device, and its
// ".ktx" line.
#include "engine/resources/texture/Texture.h"

#include "engine/core/files/FileStream.h"
#include "engine/render/TextureData.h"
#include "engine/resources/texture/TextLine.h"
#include "engine/resources/texture/TextureLoader.h"

namespace {

// A ".ktx" line holds at most 256 characters; the name in it at most 255.
constexpr std::size_t kKtxLineSize = 257;
constexpr std::size_t kImageNameSize = 256;

}  // namespace

Texture::~Texture() { SetData(nullptr); }

void Texture::SetData(TextureData* data) {
    if (data_ != data) delete data_;
    data_ = data;
}

void Texture::Update(std::uintptr_t) {}

int Texture::DataOperation4(std::uintptr_t first, std::uintptr_t second) {
    return data_ != nullptr ? data_->ReservedOperation4(first, second) : 1;
}

int Texture::DataOperation5() { return data_ != nullptr ? data_->ReservedOperation5(Name(), flags_) : 1; }

int Texture::DataOperation6() { return data_ != nullptr ? data_->ReservedOperation6(Name(), flags_) : 1; }

int Texture::DataOperation7(std::uintptr_t first, std::uintptr_t second) {
    return data_ != nullptr ? data_->ReservedOperation7(first, second) : 1;
}

bool Texture::Restore(DWORD flags) {
    if (data_ != nullptr && (data_->CreationFlags() & kTextureKeepData) != 0) {
        data_->Reload();
        return true;
    }
    SetData(nullptr);
    // The image name, not the name: a ".ktx" texture's name is the ".ktx" file, which is no
    // image.
    SetData(CreateTextureData(ImageName(), flags_ | flags));
    return data_ != nullptr;
}

int Texture::ReleaseData() {
    if (data_ == nullptr) return 1;
    if ((data_->CreationFlags() & kTextureKeepData) != 0)
        data_->ReleaseDeviceData();
    else
        SetData(nullptr);
    return 1;
}

int Texture::Load(FileStream& stream) {
    char line[kKtxLineSize];
    char fileName[kImageNameSize];
    if (!ReadWholeLine(stream, line, sizeof line) || !TakeQuotedName(line, fileName, sizeof fileName)) return 1;
    TextureData* data = CreateTextureData(fileName, 0);
    if (data == nullptr) return 1;
    SetData(data);
    SetName(fileName);
    SetImageName(fileName);
    return 0;
}

int Texture::Save(FileStream& stream) {
    stream.WriteString("\"");
    stream.WriteString(ImageName());
    stream.WriteString("\"");
    return 0;
}

Interface* CreateTexture() { return new Texture; }
