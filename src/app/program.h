#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/headless_host.h"
#include "app/tf_send.h"

namespace tarnwell {

// The headless program: the main window is created on a HeadlessHost (which runs its start-up with the
// command line's first argument, if there is one), then the host's event loop runs. An error that escapes
// the making of the window is shown in the error box and ends the program. Returns the exit status.
//
// `make_setup` gives the window's surroundings; the program passes FSendSetup::FromEnvironment.
int RunHeadless(const std::optional<std::string>& first_argument, std::ostream& err,
                const std::function<FSendSetup()>& make_setup);

}  // namespace tarnwell
