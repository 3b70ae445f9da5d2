#include "scene/position_weld.h"

#include <cstring>

namespace {

struct PositionKey {
    uint32_t bits[3];
};

PositionKey keyOf(const Vec3& p)
{
    PositionKey key{};
    const float c[3] = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};  // -0 + 0 is +0
    std::memcpy(key.bits, c, sizeof key.bits);
    return key;
}

bool same(const PositionKey& a, const PositionKey& b)
{
    return a.bits[0] == b.bits[0] && a.bits[1] == b.bits[1] && a.bits[2] == b.bits[2];
}

uint64_t mix(uint64_t x)
{
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9u;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

// Every key bit moves every result bit: grid positions differ only in their low mantissa bits,
// which a weak hash leaves in a few buckets with long chains.
uint64_t hashOf(const PositionKey& k) { return mix(mix((uint64_t{k.bits[0]} << 32) | k.bits[1]) ^ k.bits[2]); }

}  // namespace

PositionGroups weldPositions(const std::vector<Vec3>& positions)
{
    PositionGroups groups;
    groups.groupOf.resize(positions.size());
    // Open addressing at most half full, so probe runs stay short; a slot holds a position's
    // index + 1, the first position of its group, and 0 when empty.
    int shift = 60;
    while ((size_t{1} << (64 - shift)) < 2 * positions.size()) --shift;
    const size_t mask = (size_t{1} << (64 - shift)) - 1;
    std::vector<uint32_t> slots(mask + 1, 0);
    for (size_t i = 0; i < positions.size(); ++i) {
        const PositionKey key = keyOf(positions[i]);
        size_t at = static_cast<size_t>(hashOf(key) >> shift);
        while (slots[at] != 0 && !same(keyOf(positions[slots[at] - 1]), key)) at = (at + 1) & mask;
        if (slots[at] == 0) {
            slots[at] = static_cast<uint32_t>(i + 1);
            groups.groupOf[i] = groups.count++;
        } else {
            groups.groupOf[i] = groups.groupOf[slots[at] - 1];
        }
    }
    return groups;
}
