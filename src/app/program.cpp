#include "app/program.h"

#include <exception>
#include <memory>

#include "app/command_line.h"

namespace tarnwell {

int RunHeadless(std::string_view command_tail, std::ostream& err, const std::function<TFSendSetup()>& make_setup) {
    HeadlessHost host(err);
    try {
        auto form = std::make_unique<TFSend>(host, make_setup());
        form->FormCreate(FirstArgument(command_tail));
        host.RunEventLoop();
    } catch (const std::exception& e) {
        host.ShowError(e.what());
    }
    return host.ExitStatus();
}

}  // namespace tarnwell
