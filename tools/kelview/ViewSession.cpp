// A kelview run: its own handset root showing the data, the engine and the render device on
// it, loading, baking and drawing an object.
#include "tools/kelview/ViewSession.h"

#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <filesystem>
#include <vector>

#include "engine/app/CoreModule.h"
#include "engine/core/files/ArchiveFileSystem.h"
#include "engine/core/files/DataFolder.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/math/MatrixMath.h"
#include "engine/core/math/QuaternionMath.h"
#include "engine/core/math/VectorMath.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/EngineString.h"
#include "engine/render/OpenGLRenderDevice.h"
#include "engine/core/node/Animation.h"
#include "engine/resources/animation/AnimationLoader.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "engine/resources/mesh/MeshBuild.h"
#include "engine/resources/mesh/MeshFile.h"
#include "engine/resources/scene/Camera.h"
#include "platform/base/HandsetRoot.h"
#include "platform/user/Window.h"

namespace kelview {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDataFolder = "\\data\\";

LRESULT ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

Vector3 ToVector(const Triple& t) { return Vector3{t.x, t.y, t.z}; }

Color ToColour(const Triple& t, float alpha) { return Color{t.x, t.y, t.z, alpha}; }

// The camera's rotation for looking from `eye` at `target` with z up: its x axis to the
// right, its y axis down and its z axis (the viewing direction) forward.
Quaternion LookRotation(const Vector3& eye, const Vector3& target) {
    Vector3 forward;
    Vector3Sub(target, eye, forward);
    Vector3Normalize(forward);
    Vector3 right;
    Vector3Cross(forward, kWorldUp, right);
    // Looking straight up or down: any right will do.
    if (Vector3LengthSquared(right) < 1e-12f) right = Vector3{1, 0, 0};
    Vector3Normalize(right);
    Vector3 down;
    Vector3Cross(forward, right, down);
    const Matrix34 columns{
        {{right.x, down.x, forward.x, 0}, {right.y, down.y, forward.y, 0}, {right.z, down.z, forward.z, 0}}};
    Quaternion rotation{};
    QuaternionFromMatrix34(columns, rotation);
    return rotation;
}

}  // namespace

Framing FrameBounds(const AxisBox& bounds, const ViewOptions& options) {
    const Vector3 centre{(bounds.min.x + bounds.max.x) * 0.5f, (bounds.min.y + bounds.max.y) * 0.5f,
                         (bounds.min.z + bounds.max.z) * 0.5f};
    Vector3 half;
    Vector3Sub(bounds.max, centre, half);
    const float radius = std::fmax(Vector3Length(half), 0.01f);
    const Vector3 target = options.targetGiven ? ToVector(options.target) : centre;
    Vector3 eye = ToVector(options.eye);
    if (!options.eyeGiven) {
        // From the front (the -y side), a little to the right and above, far enough for the
        // bounding sphere to fit the narrower side of the picture.
        Vector3 direction{0.45f, -1.0f, 0.8f};
        Vector3Normalize(direction);
        const float halfAngle = options.fieldOfView * 0.5f * 3.14159265f / 180.0f;
        const float narrower = options.width < options.height
                                   ? std::atan(std::tan(halfAngle) * options.width / options.height)
                                   : halfAngle;
        const float distance = radius / std::sin(narrower) * 1.05f;
        eye = Vector3{target.x + direction.x * distance, target.y + direction.y * distance,
                      target.z + direction.z * distance};
    }
    Vector3 toTarget;
    Vector3Sub(target, eye, toTarget);
    const float distance = Vector3Length(toTarget);
    Vector3 toCentre;
    Vector3Sub(centre, eye, toCentre);
    const float reach = Vector3Length(toCentre) + radius;
    return Framing{{eye.x, eye.y, eye.z},
                   {target.x, target.y, target.z},
                   std::fmax(0.05f, std::fmin(distance, reach) - radius * 1.5f),
                   std::fmax(reach * 1.5f, 1.0f)};
}

ViewSession::~ViewSession() {
    if (engineStarted_) {
        // The objects give their device data back while the device still exists.
        delete database_;
        GlobalResourceCache().Clear();
        if (OpenGLRenderDevice* device = RenderDevice()) {
            SetRenderDevice(nullptr);
            device->Shutdown();
            device->Release();
        }
        SetResourceHooks(ResourceHooks{});
        ShutdownModules();
        UnmountAll();
        ResetArchiveTable();
        SetDataFolder(nullptr);
        HeapTeardown();
    }
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    if (!root_.empty()) {
        // Only the links go: what they point to is the caller's data.
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

bool ViewSession::Start(const ViewOptions& options, std::string* error) {
    std::string pattern = (fs::temp_directory_path() / "kelview-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        *error = "no temporary folder could be made for the handset root.";
        return false;
    }
    root_ = buffer.data();
    platform::SetHandsetRoot(root_);
    const fs::path data = fs::path(root_) / "fs" / "data";
    std::error_code failure;
    fs::create_directories(data, failure);
    const fs::path source = fs::absolute(options.dataFolder, failure);
    if (!fs::is_directory(source, failure)) {
        *error = "the data folder " + options.dataFolder + " is not a folder.";
        return false;
    }
    // The handset refuses links that lead out of its root, so the data and the archives are
    // copied in; the caches that --bake writes are copied back (Bake).
    dataSource_ = source;
    fs::copy(source, data, fs::copy_options::recursive, failure);
    if (failure) {
        *error = "the data folder " + source.string() + " could not be copied: " + failure.message() + ".";
        return false;
    }
    std::vector<std::string> archiveNames;
    for (std::size_t i = 0; i < options.archives.size(); ++i) {
        const fs::path archive = fs::absolute(options.archives[i], failure);
        if (!fs::is_regular_file(archive, failure)) {
            *error = "the archive " + options.archives[i] + " is not a file.";
            return false;
        }
        archiveNames.push_back("kelview-archive" + std::to_string(i) + ".par");
        fs::copy_file(archive, data / archiveNames.back(), failure);
        if (failure) {
            *error = "the archive " + options.archives[i] + " could not be copied: " + failure.message() + ".";
            return false;
        }
    }

    if (HeapInit() != 0) {
        *error = "the engine's heaps could not be set up.";
        return false;
    }
    engineStarted_ = true;
    SetDataFolder(kDataFolder);
    // The game's own archives first (as its start-up mounts them), then the ones given.
    MountArchives();
    for (std::size_t i = 0; i < archiveNames.size(); ++i)
        if (MountArchive(archiveNames[i].c_str()) == 0) {
            *error = "the archive " + options.archives[i] + " could not be mounted.";
            return false;
        }
    if (RegisterCoreModule() != 0 || GlobalResourceCache().Init() != 0) {
        *error = "the engine's core module or resource cache could not be set up.";
        return false;
    }
    database_ = new KDB();
    SetCurrentKdb(database_);
    return true;
}

bool ViewSession::StartDevice(const ViewOptions& options, std::string* error) {
    if (!platform::screen::Configure(platform::screen::DisplayGeometry{options.width, options.height, 96})) {
        *error = "the screen cannot be " + std::to_string(options.width) + "x" + std::to_string(options.height) + ".";
        return false;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ViewProcedure;
    windowClass.lpszClassName = u"KelviewWindow";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, u"KelviewWindow", u"kelview", WS_VISIBLE, 0, 0, options.width, options.height, nullptr,
                              nullptr, nullptr, nullptr);
    if (window_ == nullptr) {
        *error = "no window could be made for the render device.";
        return false;
    }
    auto* device = new OpenGLRenderDevice;
    const ScreenSize size{options.width, options.height};
    if (device == nullptr || device->Init(window_, &size) != 0) {
        *error = std::string("the render device did not start: ") + LastEglTrace();
        if (device != nullptr) {
            device->Shutdown();
            device->Release();
        }
        return false;
    }
    SetRenderDevice(device);
    return true;
}

KNode* ViewSession::Load(const std::string& object, std::string* error) {
    KNode* node = database_->FindOrLoadObject(object.c_str());
    if (node == nullptr)
        *error = "the object '" + object + "' has no scene file, cache or text in objects/ that loads.";
    return node;
}

bool ViewSession::Bake(const std::string& object, std::string* error) {
    // A text mesh, else a text skeleton; the text loader writes the cache beside it.
    std::string cacheName;
    for (const char* kind : {"fmesh", "skel"}) {
        const EngineString text = EngineString::Format("objects/%s.%s", object.c_str(), kind);
        FileStream probe;
        if (probe.Open(text.Text(), kStreamText) == 0) continue;
        probe.Close();
        KNode* node = LoadTextObject(text.Text(), object.c_str());
        if (node != nullptr) node->Release();
        cacheName = object + (std::strcmp(kind, "fmesh") == 0 ? ".kgc" : ".ksk");
        break;
    }
    // The cache must read back as the game will read it: a fresh database finds it first.
    bool read = false;
    if (!cacheName.empty()) {
        KDB check;
        SetCurrentKdb(&check);
        read = check.FindOrLoadObject(object.c_str()) != nullptr;
        check.Clear();
        SetCurrentKdb(database_);
    }
    const fs::path baked = fs::path(root_) / "fs" / "data" / "objects" / cacheName;
    std::error_code failure;
    if (!read || cacheName.empty() || fs::file_size(baked, failure) == 0) {
        *error = "the object '" + object + "' has no objects/" + object +
                 ".fmesh or .skel that loads, or its cache cannot be written or read back.";
        return false;
    }
    fs::copy_file(baked, dataSource_ / "objects" / cacheName, fs::copy_options::overwrite_existing, failure);
    if (failure) *error = "the cache of '" + object + "' could not be copied back: " + failure.message() + ".";
    return !failure;
}

namespace {

void Grow(AxisBox& box, const Vector3& point) {
    box.min = Vector3{std::fmin(box.min.x, point.x), std::fmin(box.min.y, point.y), std::fmin(box.min.z, point.z)};
    box.max = Vector3{std::fmax(box.max.x, point.x), std::fmax(box.max.y, point.y), std::fmax(box.max.z, point.z)};
}

// The world box of every vertex the object draws; skinned vertices where their bones hold them.
AxisBox DrawnBounds(KNode& root) {
    AxisBox box{{1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f}};
    WalkSubtree(root, [&](KNode& node) {
        if (node.IsKindOf(Object::StaticTypeId())) {
            const Geometry& geometry = static_cast<Object&>(node).GetGeometry();
            Matrix34 world;
            node.GetWorldMatrix(world);
            for (std::uint32_t v = 0; v < GetVertexCount(geometry.list); ++v) {
                Vector3 point;
                Matrix34TransformPoint(world, GetVertexPosition(geometry.list, v), point);
                Grow(box, point);
            }
        } else if (node.IsKindOf(SkelObject::StaticTypeId())) {
            auto& skel = static_cast<SkelObject&>(node);
            for (std::uint32_t g = 0; g < skel.GeometryCount(); ++g) {
                const std::uint8_t* bones = skel.PaletteBones(g);
                const SubMeshList* list = skel.GetGeometry(g).list;
                for (std::uint32_t v = 0; v < GetVertexCount(list) && bones != nullptr; ++v) {
                    const std::uint32_t bone = bones[v] < skel.BoneCount() ? bones[v] : 0;
                    Vector3 point;
                    Matrix34TransformPoint(skel.BoneWorldMatrix(bone), GetVertexPosition(list, v), point);
                    Grow(box, point);
                }
            }
        }
        return WalkStep::kDescend;
    });
    if (box.min.x > box.max.x) box = AxisBox{{0, 0, 0}, {0, 0, 0}};
    return box;
}

}  // namespace

bool ViewSession::Render(KNode& object, const ViewOptions& options, platform::screen::Image* frame,
                         std::string* error) {
    OpenGLRenderDevice* device = RenderDevice();
    // The camera frames the rest pose, so that pictures at two frames are seen alike.
    const Framing framing = FrameBounds(DrawnBounds(object), options);

    Animation* animation = nullptr;
    if (!options.animation.empty()) {
        animation = LoadAnimation(options.animation.c_str());
        if (animation == nullptr) {
            *error = "the animation '" + options.animation + "' does not load from animations/.";
            return false;
        }
    }
    RenderLightSet lights{};
    lights.ambient = ToColour(options.ambient, 1.0f);
    lights.count = 1;
    lights.lights[0].kind = 2;
    lights.lights[0].direction = ToVector(options.lightDirection);
    Vector3Normalize(lights.lights[0].direction);
    lights.lights[0].diffuse = ToColour(options.lightColour, 0.0f);

    std::string refused;
    WalkSubtree(object, [&](KNode& node) {
        if (node.IsKindOf(Object::StaticTypeId())) {
            node.ApplyLighting(&lights);
        } else if (node.IsKindOf(SkelObject::StaticTypeId())) {
            auto& skel = static_cast<SkelObject&>(node);
            Matrix34 world;
            skel.GetWorldMatrix(world);
            for (std::uint32_t g = 0; g < skel.GeometryCount(); ++g) LightVertices(skel.GetGeometry(g).list, lights, world);
            if (animation != nullptr) {
                const int channel = skel.PlayAnimation(animation, 0.0f, kChannelLooping, 0.0f, 0.0f);
                if (channel <= 0) refused = skel.Name();
                skel.SetAnimationTime(channel, options.frame);
                skel.UpdateAnimation(0.0f);
            }
        }
        return WalkStep::kDescend;
    });
    if (animation != nullptr) animation->Release();
    // The buffers made when the object was prepared carry the colours from before the lighting.
    object.ReleaseDeviceData();
    object.CreateDeviceData();
    if (!refused.empty()) {
        *error = "the animation '" + options.animation + "' does not fit the skeleton of '" + refused + "'.";
        return false;
    }

    auto* camera = new Camera;
    if (camera == nullptr) {
        *error = "there is no memory for the camera.";
        return false;
    }
    camera->SetPosition(ToVector(framing.eye));
    camera->SetRotation(LookRotation(ToVector(framing.eye), ToVector(framing.target)));
    Matrix34 view;
    camera->GetViewMatrix(view);
    camera->Release();

    Color background{};
    background.r = static_cast<float>((options.background >> 16) & 0xFF) / 255.0f;
    background.g = static_cast<float>((options.background >> 8) & 0xFF) / 255.0f;
    background.b = static_cast<float>(options.background & 0xFF) / 255.0f;
    background.a = 1.0f;
    device->SetViewport(0, 0, options.width, options.height);
    device->SetClearColor(background);
    device->SetDepthMode(3);
    device->Clear(0);
    device->SetLights(0, nullptr);
    device->SetPerspective(options.fieldOfView * 3.14159265f / 180.0f,
                           static_cast<float>(options.width) / static_cast<float>(options.height), framing.nearPlane,
                           framing.farPlane);
    device->SetViewMatrix(view);
    int submitted = 0;
    WalkSubtree(object, [&](KNode& node) {
        RenderTransform transform;
        node.GetWorldMatrix(transform.world);
        if (node.IsKindOf(Object::StaticTypeId())) {
            if (RenderMesh* mesh = GeometryRenderMesh(static_cast<Object&>(node).GetGeometry())) {
                device->SubmitMesh(nullptr, mesh, transform);
                ++submitted;
            }
        } else if (node.IsKindOf(SkelObject::StaticTypeId())) {
            auto& skel = static_cast<SkelObject&>(node);
            for (std::uint32_t g = 0; g < skel.GeometryCount(); ++g)
                if (RenderMesh* mesh = skel.SkinnedRenderMesh(g)) {
                    device->SubmitMesh(&skel, mesh, transform);
                    ++submitted;
                }
        }
        return WalkStep::kDescend;
    });
    if (submitted == 0) {
        *error = "the object has nothing to draw.";
        return false;
    }
    device->Present();
    *frame = platform::screen::Capture();
    if (frame->width != options.width || frame->height != options.height) {
        *error = "the frame could not be read back from the screen.";
        return false;
    }
    return true;
}

}  // namespace kelview
