#include "files/file_contents.h"

#include "files/output_file.h"

namespace tarnwell {

void ReplaceFileDurably(const std::string& path, std::string_view bytes) {
    try {
        ReplaceFile(path, bytes, Durability::kDurable);
    } catch (const EOutputFile& e) {
        const char* step = "cannot replace";
        if (e.step() == EOutputFile::Step::kCreate) step = "cannot create a temporary file";
        if (e.step() == EOutputFile::Step::kWrite) step = "cannot write";
        throw EFileAccessError(path + ": " + step + ": " + e.what());
    }
}

}  // namespace tarnwell
