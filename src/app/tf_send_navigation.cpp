// The navigation column and the page control: every page change saves the settings first when auto-save
// is chosen. An error of that save leaves the page as it was. Leaving the limits page with edits not yet
// saved, or reading it again, asks first whether to save them.

#include "app/tf_send.h"
#include "settings/settings.h"
#include "stats/send_flags.h"
#include "stats/statistics_refresh.h"

namespace tarnwell {

void TFSend::AutoSave() {
    if (!c_.ChLBOther.Checked(1)) return;
    auto database = setup_.database.Open();
    SaveSet(c_, setup_.settings_folder);
    // The send flags follow only a settings file that was written.
    SaveSendFlags(c_.ASGRead, *database);
}

void TFSend::SpeedButton3Click() {
    if (!MayDropLimitsEdits(true)) return;
    AutoSave();
    c_.PC1.SetActivePageIndex(kViewerPage);
}

void TFSend::SpeedButton4Click() {
    if (!MayDropLimitsEdits(true)) return;
    AutoSave();
    c_.PC1.SetActivePageIndex(kSettingsPage);
}

// The statistics refresh: also the handler of the display unit (RG1) and of the precision (CSETochn).
// The page is shown before the load, so a load that stops shows what it got so far. A complete refresh
// goes into the traffic history (at most once an hour), which never stops it.
bool TFSend::SBToStatClick() {
    if (!MayDropLimitsEdits(true)) return false;
    AutoSave();
    c_.PC1.SetActivePageIndex(kStatPage);
    TrafficDisplay display{c_.RG1.ItemIndex(), c_.CSETochn.ShowValue(), KiloIs1024(c_.RGkb.ItemIndex())};
    auto database = setup_.database.Open();
    if (!RefreshStatistics(c_.ASGRead, *database, host_, display, c_.ChLBTable.CheckedItems(), host_.TextWidth(),
                           figures_)) {
        return false;
    }
    history_.RecordRefresh(figures_);
    return true;
}

// Reads the table again, so edits not yet saved are asked about wherever the page stands.
bool TFSend::SBLimitClick() {
    if (!MayDropLimitsEdits(false)) return false;
    AutoSave();
    c_.PC1.SetActivePageIndex(kLimitsPage);
    return SBReadClick();
}

void TFSend::SBAboutClick() {
    if (!MayDropLimitsEdits(true)) return;
    AutoSave();
    c_.PC1.SetActivePageIndex(kAboutPage);
}

// A page change made on the page control itself: it has already changed.
void TFSend::PC1Change() {
    AutoSave();
}

void TFSend::STtoSiteClick() {
    host_.ShellOpen(c_.STtoSite.Caption);
}

void TFSend::StaticText7Click() {
    host_.ShellOpen(MakerMailLink());
}

}  // namespace tarnwell
