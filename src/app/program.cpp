#include "app/program.h"

#include <exception>
#include <memory>
#include <utility>

#include "app/command_line.h"
#include "app/where_notes.h"

namespace tarnwell {

int RunHeadless(std::string_view command_tail, std::ostream& err, const std::function<TFSendSetup()>& make_setup) {
    HeadlessHost host(err);
    try {
        TFSendSetup setup = make_setup();
        AddWhereNotes(host, setup);
        auto form = std::make_unique<TFSend>(host, std::move(setup));
        form->FormCreate(FirstArgument(command_tail));
        host.RunEventLoop();
    } catch (const std::exception& e) {
        host.ShowError(e.what());
    }
    return host.ExitStatus();
}

}  // namespace tarnwell
