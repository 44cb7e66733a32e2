#pragma once

#include <string>

#include "grid/table_grid.h"

namespace tarnwell {

// The report and mail jobs that the switches and the autorun start, each on the statistics table:
// MkTable writes the HTML report file, SendMail mails every chosen user his letter, SendHTM mails the table
// to the table address. The main window holds them behind this interface so that the start-up runs the
// same whatever carries them out.
class ReportMailJobs {
public:
    virtual ~ReportMailJobs() = default;
    virtual void MkTable(const std::string& file_name, TTableGrid& grid) = 0;
    virtual void SendMail(TTableGrid& grid) = 0;
    virtual void SendHTM(TTableGrid& grid) = 0;
};

}  // namespace tarnwell
