#include "settings/owner_only_write.h"

namespace tarnwell {

OwnerOnlyWrite::OwnerOnlyWrite(const std::string&) {}

OwnerOnlyWrite::~OwnerOnlyWrite() = default;

}  // namespace tarnwell
