// The table of the "libkel" module. The core's creatable classes join kCoreClasses and the
// table with a "Create_<class>" row each as they are built.
#include "engine/app/CoreModule.h"

#include "engine/app/FrameDriver.h"
#include "engine/core/node/KNode.h"
#include "engine/core/node/NodeAnimation.h"
#include "engine/core/object/Module.h"
#include "engine/resources/animation/AnimationLoader.h"
#include "engine/resources/animation/SkelAnimation.h"
#include "engine/resources/gamemat/EffectRegistry.h"
#include "engine/resources/kdb/KDB.h"
#include "engine/resources/meshnode/Bone.h"
#include "engine/resources/meshnode/MeshObject.h"
#include "engine/resources/meshnode/Track.h"
#include "engine/resources/material/KMaterial.h"
#include "engine/resources/scene/Camera.h"
#include "engine/resources/shader/EffectNode.h"
#include "engine/resources/shader/Shader.h"
#include "engine/resources/skelobject/SkelObject.h"
#include "engine/resources/sound/SoundResources.h"
#include "engine/resources/texture/Texture.h"
#include "engine/resources/texture/TextureLoader.h"
#include "engine/sound/NullSoundDevice.h"

namespace {

const ModuleClass kCoreClasses[] = {
    {"NullSoundDevice", NullSoundDevice::StaticTypeId()},
    {"Texture", Texture::StaticTypeId()},
    {"Node", KNode::StaticTypeId()},
    {"Camera", Camera::StaticTypeId()},
    {"Shader", Shader::StaticTypeId()},
    {"EffectNode", EffectNode::StaticTypeId()},
    {"SkelAnimation", SkelAnimation::StaticTypeId()},
    {"NodeAnimation", NodeAnimation::StaticTypeId()},
    {"Object", Object::StaticTypeId()},
    {"Bone", Bone::StaticTypeId()},
    {"Track", Track::StaticTypeId()},
    {"SkelObject", SkelObject::StaticTypeId()},
    {nullptr, nullptr},
};

void EnumerateCoreInterfaces(KDLList* names, TypeId type) { AppendClassNamesOfKind(names, type, kCoreClasses); }

// The resource cache loads textures, sounds, shaders and animations through the resource
// code from here on and ends its clearing with the effect registry's release; texture
// stages scroll by the frame clock.
int InitCore() {
    InstallTextureResources();
    InstallAnimationResources();
    InstallSoundResourceHooks();
    InstallEffectRegistryHook();
    // Effect nodes leave the registry's list when they go, except while it destroys them.
    EffectRegistryHooks effectHooks;
    effectHooks.unregisterNode = [](KNode* node) { EffectRegistry::Unregister(node); };
    effectHooks.tearingDown = [] { return Effects().shuttingDown; };
    SetEffectRegistryHooks(effectHooks);
    InstallShaderResources();
    SetMaterialClock([] { return GetFrameClock().gameTime[0]; }, FrameTime);
    return 0;
}

const ModuleEntry kCoreTable[] = {
    {"Create_NullSoundDevice", AsModuleFunction(&CreateNullSoundDevice)},
    {"Create_Texture", AsModuleFunction(&CreateTexture)},
    {"Create_Node", AsModuleFunction(&CreateNode)},
    {"Create_Camera", AsModuleFunction(&CreateCamera)},
    {"Create_Shader", AsModuleFunction(&CreateShader)},
    {"Create_EffectNode", AsModuleFunction(&CreateEffectNode)},
    {"Create_SkelAnimation", AsModuleFunction(&CreateSkelAnimation)},
    {"Create_NodeAnimation", AsModuleFunction(&CreateNodeAnimation)},
    {"Create_Object", AsModuleFunction(&CreateObject)},
    {"Create_Bone", AsModuleFunction(&CreateBone)},
    {"Create_Track", AsModuleFunction(&CreateTrack)},
    {"Create_SkelObject", AsModuleFunction(&CreateSkelObject)},
    {"EnumerateInterfaces", AsModuleFunction(&EnumerateCoreInterfaces)},
    {"Init", AsModuleFunction(&InitCore)},
    {nullptr, nullptr},
};

}  // namespace

int RegisterCoreModule() { return RegisterModule("libkel", kCoreTable) != nullptr ? 0 : 1; }
