#include "raster/sweep_storage.h"

#include "raster/lanes/gathered_fragments.h"

SweepStorage::SweepStorage() = default;
SweepStorage::~SweepStorage() = default;

GatheredFragments& SweepStorage::fragments()
{
    if (!fragments_) fragments_ = std::make_unique<GatheredFragments>();
    return *fragments_;
}
