#include "app/program.h"

#include <exception>
#include <memory>
#include <utility>

#include "app/where_notes.h"

namespace tarnwell {

int RunHeadless(const std::optional<std::string>& first_argument, std::ostream& err,
                const std::function<FSendSetup()>& make_setup) {
    HeadlessHost host(err);
    try {
        FSendSetup setup = make_setup();
        AddWhereNotes(host, setup);
        auto form = std::make_unique<TFSend>(host, std::move(setup));
        form->FormCreate(first_argument);
        host.RunEventLoop();
    } catch (const std::exception& e) {
        host.ShowError(e.what());
    }
    return host.ExitStatus();
}

}  // namespace tarnwell
