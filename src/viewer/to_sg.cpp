#include "viewer/to_sg.h"

#include "files/file_snapshot.h"
#include "viewer/text_table_load.h"

namespace tarnwell {

void ToSG(const std::string& file_name, TTableGrid& grid, LoadProgress& progress, const TextWidthMeasure& measure) {
    const std::shared_ptr<const FileSnapshot> file = FileSnapshot::Take(file_name);
    const std::string_view bytes = file->Bytes();
    LoadTextTable(file, bytes, file_name, grid, progress, measure, SharingFor(bytes.size()));
}

}  // namespace tarnwell
