// The GUID registry of KGlobalInterface objects.
#include "engine/core/object/KGlobalInterface.h"

#include "engine/core/memory/EngineLog.h"

namespace {

constexpr DWORD kBucketCount = 4096;
KGlobalInterface* buckets[kBucketCount];

KGlobalInterface*& BucketOf(DWORD guid) { return buckets[guid & (kBucketCount - 1)]; }

}  // namespace

int KGlobalInterface::SetGUID(DWORD guid) {
    if (guid == kNoGuid) return 1;
    if (guid_ != kNoGuid) {
        if (guid_ == guid) return 1;
        KEL_LOG_EXCEPTION("SetGUID: GUID already assigned (0x%08X)", guid);
        return 0;
    }
    guid_ = guid;
    nextInBucket_ = nullptr;
    KGlobalInterface*& head = BucketOf(guid);
    if (head == nullptr) {
        head = this;
        return 1;
    }
    KGlobalInterface* last = nullptr;
    for (KGlobalInterface* other = head; other != nullptr; other = other->nextInBucket_) {
        if (other->guid_ == guid) {
            guid_ = kNoGuid;
            KEL_LOG_EXCEPTION("SetGUID: tried to assign duplicate GUID (0x%08X)", guid);
            return 0;
        }
        last = other;
    }
    last->nextInBucket_ = this;
    return 1;
}

KGlobalInterface::~KGlobalInterface() {
    if (guid_ == kNoGuid) return;
    KGlobalInterface*& head = BucketOf(guid_);
    if (head == this) {
        head = nextInBucket_;
        return;
    }
    for (KGlobalInterface* other = head; other != nullptr; other = other->nextInBucket_) {
        if (other->nextInBucket_ == this) {
            other->nextInBucket_ = nextInBucket_;
            return;
        }
    }
    KEL_LOG_EXCEPTION("~KGlobalInterface: object with GUID not found (0x%08X)", guid_);
}

void ClearGuidRegistry() {
    for (KGlobalInterface*& head : buckets) head = nullptr;
}
