// The hash table and the resource cache over test resources: hits add references and move
// to the front, the last release evicts, failed loads cache nothing, names share buckets by
// their character sums (also names with bytes from 0x80), and clearing deletes everything.
#include <string>
#include <vector>

#include "engine/core/object/ResourceCache.h"
#include "engine/core/text/EngineString.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

// A named resource that counts its loads and deletions.
class TestResource : public Interface {
    KEL_DECLARE_TYPE(TestResource, Interface, "TestResource")

public:
    explicit TestResource(const char* name) : name_(name) {}
    ~TestResource() override { ++deleted; }
    const char* Name() const { return name_.Text(); }

    static inline int deleted = 0;

private:
    EngineString name_;
};

std::vector<std::string> loads;
std::vector<Interface*> loadedTextures;
int effectReleases = 0;

Interface* LoadNamed(const char* name) {
    loads.push_back(name);
    if (std::string(name).find("missing") != std::string::npos) return nullptr;
    return new TestResource(name);
}

ResourceHooks TestHooks() {
    ResourceHooks hooks;
    hooks.loadTexture = [](const char* name, DWORD flags) {
        loads.push_back(std::string(name) + "#" + std::to_string(flags));
        return static_cast<Interface*>(new TestResource(name));
    };
    hooks.loadShader = LoadNamed;
    hooks.loadSound = LoadNamed;
    hooks.loadAnimation = LoadNamed;
    hooks.resourceName = [](DWORD, const Interface* resource) {
        return static_cast<const TestResource*>(resource)->Name();
    };
    hooks.textureLoaded = [](Interface* texture) { loadedTextures.push_back(texture); };
    hooks.releaseAllEffects = [] { ++effectReleases; };
    return hooks;
}

class ResourceCacheTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        loads.clear();
        loadedTextures.clear();
        effectReleases = 0;
        TestResource::deleted = 0;
        SetResourceHooks(TestHooks());
        ASSERT_EQ(cache().Init(), 0);
    }
    void TearDown() override {
        cache().Clear();
        SetResourceHooks(ResourceHooks{});
        HeapTest::TearDown();
    }
    static ResourceCache& cache() { return GlobalResourceCache(); }
    static KDLList& Bucket(DWORD kind, const char* name) {
        KHashTable* table = cache().Table(kind);
        return table->buckets[ResourceNameBucket(name, table->bucketCount)];
    }
};

TEST_F(ResourceCacheTest, HitsAddAReferenceAndTheLastReleaseEvicts) {
    Interface* first = cache().GetTexture("gfx/a.tga", 64);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ReferenceCount(), 0u);
    EXPECT_EQ(cache().GetTexture("GFX/A.TGA", 0), first);  // the same texture, whatever the case
    EXPECT_EQ(first->ReferenceCount(), 1u);
    EXPECT_EQ(loads, std::vector<std::string>{"gfx/a.tga#64"});
    EXPECT_EQ(loadedTextures, std::vector<Interface*>{first});
    const auto* entry = static_cast<const ResourceEntry*>(Bucket(kResourceTexture, "gfx/a.tga").head->item);
    EXPECT_EQ(entry->ownerTag, reinterpret_cast<std::uintptr_t>(first));

    ResourceCache::ReleaseTexture(first);
    EXPECT_EQ(TestResource::deleted, 0);
    EXPECT_EQ(cache().Table(kResourceTexture)->entryCount, 1u);
    ResourceCache::ReleaseTexture(first);  // the last reference
    EXPECT_EQ(TestResource::deleted, 1);
    EXPECT_EQ(cache().Table(kResourceTexture)->entryCount, 0u);
    Interface* again = cache().GetTexture("gfx/a.tga", 0);
    EXPECT_EQ(loads.size(), 2u);
    // A texture the cache does not hold is left alone at its last reference.
    TestResource stranger("gfx/other.tga");
    ResourceCache::ReleaseTexture(&stranger);
    EXPECT_EQ(TestResource::deleted, 1);
    ResourceCache::ReleaseTexture(again);
}

TEST_F(ResourceCacheTest, BucketsShareByCharacterSumAndHitsMoveToTheFront) {
    // "a\x7F" and "b\x7E" have the same sum; "a!" differs from "a\x61" by 64.
    Interface* one = cache().GetAnimation("a\x7F");
    Interface* two = cache().GetAnimation("b\x7E");
    Interface* three = cache().GetAnimation("a!");
    Interface* four = cache().GetAnimation("aa");
    EXPECT_EQ(&Bucket(kResourceAnimation, "a\x7F"), &Bucket(kResourceAnimation, "b\x7E"));
    EXPECT_EQ(&Bucket(kResourceAnimation, "a!"), &Bucket(kResourceAnimation, "aa"));
    KDLList& bucket = Bucket(kResourceAnimation, "a\x7F");
    EXPECT_EQ(static_cast<ResourceEntry*>(bucket.head->item)->resource, one);
    EXPECT_EQ(cache().GetAnimation("b\x7E"), two);
    EXPECT_EQ(static_cast<ResourceEntry*>(bucket.head->item)->resource, two);  // most recent first
    EXPECT_EQ(cache().GetAnimation("aa"), four);
    EXPECT_EQ(cache().GetAnimation("a!"), three);
    EXPECT_EQ(loads.size(), 4u);
    // Sounds keep their place on a hit.
    Interface* s1 = cache().GetSound("a\x7F");
    cache().GetSound("b\x7E");
    cache().GetSound("a\x7F");
    EXPECT_EQ(static_cast<ResourceEntry*>(Bucket(kResourceSound, "a\x7F").head->item)->resource, s1);
}

TEST_F(ResourceCacheTest, NamesWithHighBytesHaveABucketInRange) {
    // Sums below zero: the bucket is the sum modulo 64 taken as an unsigned value.
    for (const char* name : {"\xE9", "\xFF\xFF\xFF", "sound/\xE9t\xE9.wav"}) {
        const std::int32_t bucket = ResourceNameBucket(name, kHashBucketCount);
        EXPECT_GE(bucket, 0) << name;
        EXPECT_LT(bucket, kHashBucketCount) << name;
        Interface* sound = cache().GetSound(name);
        ASSERT_NE(sound, nullptr);
        EXPECT_EQ(cache().GetSound(name), sound);
    }
    EXPECT_EQ(ResourceNameBucket("\xFF", kHashBucketCount), 63);
    EXPECT_EQ(loads.size(), 3u);
}

TEST_F(ResourceCacheTest, FailedLoadsAndEmptySoundNamesCacheNothing) {
    EXPECT_EQ(cache().GetSound(""), nullptr);
    EXPECT_EQ(cache().GetSound(nullptr), nullptr);
    EXPECT_TRUE(loads.empty());
    EXPECT_EQ(cache().GetShader("missing.fx"), nullptr);
    EXPECT_EQ(cache().GetShader("missing.fx"), nullptr);
    EXPECT_EQ(loads.size(), 2u);  // tried again
    EXPECT_EQ(cache().Table(kResourceShader)->entryCount, 0u);
    cache().SetOwnerTag(0x1234);
    cache().GetShader("water.fx");
    EXPECT_EQ(static_cast<ResourceEntry*>(Bucket(kResourceShader, "water.fx").head->item)->ownerTag, 0x1234u);
}

TEST_F(ResourceCacheTest, ClearDeletesEveryResourceAndReleasesEffects) {
    Interface* texture = cache().GetTexture("t.tga", 0);
    texture->AddRef();  // outstanding references do not keep it
    cache().GetShader("s.fx");
    cache().GetSound("x.wav");
    cache().GetAnimation("walk");
    cache().Clear();
    EXPECT_EQ(TestResource::deleted, 4);
    EXPECT_EQ(effectReleases, 1);
    EXPECT_FALSE(cache().IsInitialised());
    EXPECT_EQ(cache().GetShader("s.fx"), nullptr);
    ASSERT_EQ(cache().Init(), 0);
    cache().GetShader("s.fx");
    ASSERT_EQ(cache().Init(), 0);  // a second Init clears first
    EXPECT_EQ(TestResource::deleted, 5);
}

TEST_F(ResourceCacheTest, HashTableIterationAndRemoval) {
    KHashTable* table = KHashTable::Create(3);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->bucketCount, 64);
    table->hash = [](const void* item, std::int32_t) { return static_cast<std::int32_t>(*static_cast<const int*>(item)); };
    int items[] = {5, -1, 5, 200};  // -1 and 200 are taken modulo the count
    for (int& item : items) EXPECT_TRUE(table->Insert(&item));
    EXPECT_TRUE(table->Insert(nullptr));
    EXPECT_EQ(table->entryCount, 4u);
    EXPECT_EQ(table->buckets[63].count, 1u);
    EXPECT_EQ(table->buckets[200 % 64].count, 1u);
    KHashTableIterator iterator;
    iterator.Begin(*table);
    std::vector<int> seen;
    while (!iterator.AtEnd()) seen.push_back(*static_cast<int*>(iterator.Next()));
    EXPECT_EQ(seen, (std::vector<int>{5, 5, 200, -1}));
    iterator.Begin(*table);
    while (!iterator.AtEnd()) iterator.Remove();
    EXPECT_EQ(table->entryCount, 0u);
    EXPECT_EQ(iterator.Remove(), nullptr);
    KHashTable::Destroy(table);
}

}  // namespace
