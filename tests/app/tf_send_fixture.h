#pragma once

// The main window's tests: a window over a copy of the test database, with fake jobs, host and service
// program that note what they are asked to do.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/tf_send.h"
#include "fake_host.h"
#include "support/temp_folder.h"

namespace tarnwell::app_testing {

namespace fs = std::filesystem;
using Events = std::vector<std::string>;

// settings.ini with the given autorun items (HTML, Mail, MailTable) and options; every other key is left
// to its missing-key value.
inline std::string Settings(bool html, bool mail, bool mail_table, bool auto_close = false, bool auto_save = false) {
    std::ostringstream s;
    s << "[mail]\r\nHTMLPath=report.htm\r\n[set]\r\nLastPath=\r\n"
      << "[AutoRun]\r\nHTML=" << html << "\r\nMail=" << mail << "\r\nMailTable=" << mail_table << "\r\n"
      << "[opt]\r\nAutoClose=" << auto_close << "\r\nAutoSave=" << auto_save << "\r\n";
    return s.str();
}

class TFSendTest : public testing::Test {
protected:
    void SetUp() override { fs::copy_file(fs::path(TARNWELL_TEST_DATA) / "app" / "users.reg", RegPath()); }

    // A folder in the place of settings.ini: no save can write it, whatever the rights of the process.
    void BlockSettingsFile() {
        fs::remove(SettingsPath());
        fs::create_directory(SettingsPath());
    }

    fs::path RegPath() const { return folder_ / "registry.reg"; }
    // The report job as the fake jobs note it: "Файл экспорта:" report.htm, taken from the program's folder.
    std::string ReportJob() const { return "MkTable " + (folder_ / "report.htm").string(); }
    fs::path SettingsPath() const { return folder_ / "settings.ini"; }
    void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string ReadFile(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The window with fake jobs (the one named failing), or with its own report and mail jobs.
    TFSend& Form(std::string failing_job = {}, bool service_program_runs = true) {
        return MakeForm(std::make_unique<FakeJobs>(log_, failing_job,
                                                   [this] {
                                                       if (during_job_) during_job_();
                                                   }),
                        service_program_runs);
    }
    TFSend& FormWithItsOwnJobs() { return MakeForm(nullptr, true); }
    TFSend& MakeForm(std::unique_ptr<ReportMailJobs> jobs, bool service_program_runs) {
        form_ = std::make_unique<TFSend>(
            host_, FSendSetup{UserDatabaseLocation::RegFile(RegPath().string()), folder_.string(), std::move(jobs),
                               std::make_unique<FakeRunner>(log_, service_program_runs)});
        host_.status_bar = &form_->Controls().StatBar;
        return *form_;
    }

    std::int32_t Number(const std::string& login, const std::string& name) {
        auto db = UserDatabaseLocation::RegFile(RegPath().string()).Open();
        db->OpenExistingAccount(login);
        return db->ReadNumber(name);
    }

    // Also puts back the current folder, which the viewer moves.
    testing_support::TempFolder temp_;
    const fs::path folder_ = temp_.path();
    EventLog log_;
    FakeHost host_{log_};
    std::unique_ptr<TFSend> form_;
    // Runs inside every fake job: what the user does while a job pumps events.
    std::function<void()> during_job_;
};

}  // namespace tarnwell::app_testing
