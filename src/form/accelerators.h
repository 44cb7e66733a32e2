#pragma once

#include <span>
#include <string>
#include <string_view>

#include "form/control.h"
#include "form/form_pages.h"

namespace tarnwell {

// The keyboard accelerators of the window's buttons and labels: Alt and a letter of the caption, which the
// window underlines. The caption's text stays as it is; the table says which of its letters is the key.
//
// A letter is unique among what is shown together: the navigation column (shown with every page) with the
// controls of each page, the find bar with the pages that show it, and the items of the limits grid's
// pop-up menu among themselves (an open menu takes the keys alone). Letters are Cyrillic: the window's
// texts are Russian, and a Latin letter would not be on the key the administrator looks for.

// Where a control with an accelerator is shown.
enum class AcceleratorScope {
    kNavigation,  // the navigation column and what stands beside it: every page
    kViewerPage,
    kSettingsPage,
    kStatPage,
    kLimitsPage,
    kFindBar,     // the find bar, over the table of the viewer, the statistics or the limits page
    kLimitsMenu,  // the limits grid's pop-up menu: its keys work while it is open, alone
};

// Whether the controls of a scope are shown (or can be) while the page is.
constexpr bool ScopeShownOn(AcceleratorScope scope, PageIndex page) {
    switch (scope) {
        case AcceleratorScope::kNavigation:
            return true;
        case AcceleratorScope::kViewerPage:
            return page == kViewerPage;
        case AcceleratorScope::kSettingsPage:
            return page == kSettingsPage;
        case AcceleratorScope::kStatPage:
            return page == kStatPage;
        case AcceleratorScope::kLimitsPage:
            return page == kLimitsPage;
        case AcceleratorScope::kFindBar:
            return page == kViewerPage || page == kStatPage || page == kLimitsPage;
        case AcceleratorScope::kLimitsMenu:
            return false;
    }
    return false;
}

// A control's accelerator: the letter of its caption (a button's, check box's or radio group's Caption, an
// edit's, spin edit's or check list's Label) and where the caption has it.
struct AcceleratorKey {
    std::string_view Control;  // the control's Name
    std::string_view Letter;   // one Windows-1251 letter, as the caption writes it
    int Position;              // its index in the caption (one byte is one letter in Windows-1251)
    AcceleratorScope Scope;
};

// Every accelerator of the window.
std::span<const AcceleratorKey> AcceleratorKeys();

// The accelerator of the control, or nullptr for a control without one.
const AcceleratorKey* AcceleratorOf(const Control& control);

// The caption as both windows hand it to their toolkit: "&" before the accelerator's letter and every "&"
// of the caption itself doubled, so that it shows as it reads ("Сохранить ..." becomes "Со&хранить ...").
// `caption` is the text the window shows for the control (its Caption or Label). A caption whose letter at
// the position is not the table's (a text set from code) gets no accelerator rather than a wrong one.
std::string AcceleratedCaption(const Control& control, std::string_view caption);

}  // namespace tarnwell
