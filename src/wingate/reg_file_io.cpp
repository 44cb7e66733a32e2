#include "wingate/reg_file_io.h"
#include "grid/output_file.h"
#include "wingate/user_database.h"

namespace tarnwell {

void ReplaceRegFile(const std::string& path, std::string_view bytes) {
    try {
        ReplaceFile(path, bytes, Durability::kDurable);
    } catch (const EOutputFile& e) {
        const char* step = "cannot replace";
        if (e.step() == EOutputFile::Step::kCreate) step = "cannot create a temporary file";
        if (e.step() == EOutputFile::Step::kWrite) step = "cannot write";
        throw ERegFileError(path + ": " + step + ": " + e.what());
    }
}

}  // namespace tarnwell
