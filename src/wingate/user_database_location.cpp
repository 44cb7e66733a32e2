#include <string>
#include <utility>

#include "text/program_folder.h"
#include "wingate/reg_file_user_database.h"
#include "wingate/user_database.h"
#ifdef _WIN32
#include "wingate/registry_user_database.h"
#endif

namespace tarnwell {
namespace {

constexpr std::string_view kDefaultFileName = "registry.reg";

}  // namespace

UserDatabaseLocation UserDatabaseLocation::FromEnvironment() {
    // Made absolute now, since the viewer later changes the current folder (files/current_folder.h).
    std::optional<std::string> variable = EnvironmentVariable("TARNWELL_REGISTRY");
    if (variable && !variable->empty()) return RegFile(AbsolutePath(*variable));
#ifdef _WIN32
    if (!variable) return Registry();
#endif
    return RegFile(JoinPath(ProgramFolder(), kDefaultFileName));
}

UserDatabaseLocation UserDatabaseLocation::RegFile(std::string path) {
    return UserDatabaseLocation(false, std::move(path));
}

#ifdef _WIN32
UserDatabaseLocation UserDatabaseLocation::Registry() {
    return UserDatabaseLocation(true, {});
}
#endif

std::unique_ptr<TUserDatabase> UserDatabaseLocation::Open(const UserDatabaseKeys& keys) const {
#ifdef _WIN32
    if (registry_) return std::make_unique<RegistryUserDatabase>(keys);
#endif
    return std::make_unique<RegFileUserDatabase>(path_, keys);
}

}  // namespace tarnwell
