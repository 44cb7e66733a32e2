// The viewer page: the browsing controls and the loading of a text file into SG1, with the gauge.

#include "app/tf_send.h"
#include "viewer/to_sg.h"

namespace tarnwell {

void TFSend::DriveCB1Change() {
    browser_.DriveCB1Change();
}

void TFSend::CDirOChange() {
    browser_.CDirOChange();
}

void TFSend::FLB1Click() {
    browser_.FLB1Click(c_.ECurrentFile.Text, c_.SG1, gauge_progress_, host_.TextWidth());
    ViewerLoaded();
}

// The last viewed file, brought back at start-up: the browser moves to its folder first, then the file is
// loaded under the name the settings gave.
void TFSend::ShowLastFile(const std::string& path) {
    browser_.ShowFilePath(path);
    ToSG(c_.ECurrentFile.Text, c_.SG1, gauge_progress_, host_.TextWidth());
    ViewerLoaded();
}

// The rows of a filter belong to the table it was made for: a new table is filtered anew, by the text
// the box holds, so that the next day's log shows the same user's requests.
void TFSend::ViewerLoaded() {
    c_.SG1.ResetView();
    ApplyViewerFilter();
}

}  // namespace tarnwell
