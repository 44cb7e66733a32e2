#include "wingate/service_restart.h"

#include <thread>

#include "text/cp1251_literal.h"
#include "text/message.h"

namespace tarnwell {

using namespace literals;

void SystemPause::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

bool RestartProxyService(std::unique_ptr<TUserDatabase> database, const ServiceRestartHost& host) {
    // The service reads the database when it starts: what this save wrote must be in place by then.
    database->Flush();
    std::string program;
    try {
        program = database->ReadServiceImagePath();
    } catch (const EServiceNotFound&) {
        host.notifier.ShowNamedMessage(MessageName::kServiceNotFound);
        database.reset();
        return false;
    }
    // Checked before the stop: a program that cannot be started again must not be stopped either, and a
    // run that cannot happen must not pass for a restart.
    if (!host.runner.CanRun(program)) {
        host.notifier.ShowMessage(
            FormatMsg("Программа службы WinGate \"%s\" не найдена или не может быть запущена"_cp, {program}));
        database.reset();
        return false;
    }
    host.status.SetStatusText("Идет сохранение изменений и перезапуск службы WinGate..."_cp);
    host.runner.Run(program, "-stop");
    host.pause.Sleep(std::chrono::milliseconds(5000));
    host.runner.Run(program, "-start");
    host.status.SetStatusText("");
    database.reset();
    return true;
}

}  // namespace tarnwell
