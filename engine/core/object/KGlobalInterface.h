// KGlobalInterface: an engine object that can be registered under a 32-bit GUID, the base
// of the scene-graph node. The registry has 4096 buckets chosen by the GUID's low 12 bits.
#pragma once

#include "engine/core/object/Interface.h"
#include "platform/base/Types.h"

constexpr DWORD kNoGuid = 0xFFFFFFFF;

class KGlobalInterface : public Interface {
    KEL_DECLARE_TYPE(KGlobalInterface, Interface, "GlobalInterface")

public:
    KGlobalInterface() = default;
    // Leaves the registry; an object whose GUID is not found there is logged.
    ~KGlobalInterface() override;

    // kNoGuid: nothing to do (1). The GUID the object already has: 1. Another GUID while one
    // is set, or a GUID another registered object holds: logged, 0 (after a duplicate the
    // object has no GUID).
    int SetGUID(DWORD guid);
    DWORD GetGUID() const { return guid_; }

    // A word that starts at 4; it is neither saved nor read, only copied to clones.
    DWORD UnsavedWord() const { return unsavedWord_; }
    void SetUnsavedWord(DWORD word) { unsavedWord_ = word; }
    // The word saved and loaded with the GUID at the head of a node's saved form.
    DWORD SavedWord() const { return savedWord_; }
    void SetSavedWord(DWORD word) { savedWord_ = word; }

private:
    DWORD guid_ = kNoGuid;
    KGlobalInterface* nextInBucket_ = nullptr;
    DWORD unsavedWord_ = 4;
    DWORD savedWord_ = 4;
};

// Empties the registry (once during start-up); registered objects are forgotten, not touched.
void ClearGuidRegistry();
