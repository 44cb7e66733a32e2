#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "form/accelerators.h"
#include "form/form_controls.h"
#include "text/cp1251_case.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;

// Every caption or label the window shows for a control, by the control's name.
std::map<std::string, std::string> ShownCaptions(FormControls& f) {
    std::map<std::string, std::string> captions;
    for (const Button* b : {&f.SpeedButton3, &f.SBToStat,       &f.SBLimit,
                            &f.SpeedButton4, &f.SBAbout,        static_cast<Button*>(&f.SBCancel),
                            &f.SBSave,       &f.SBEditPathHTML, &f.SBSaveHTML,
                            &f.SBSend1,      &f.SBRead,         &f.SBSet,
                            &f.SBSaveLim,    &f.SBFindNext,     &f.SBFindPrev,
                            &f.NRead,        &f.NSet,           &f.NSaveLim,
                            &f.NSaveEn,      &f.STtoSite,       &f.StaticText7}) {
        captions[b->Name] = b->Caption;
    }
    for (const Edit* e :
         {&f.ECurrentFile, &f.EHost, &f.EPort, &f.EDomain, &f.EUserID, &f.EPassword, &f.ECAFile, &f.EFromName,
          &f.EFromAddress, &f.ESubject, &f.ESGToUser, &f.EHTMLPath, &f.EFilter, &f.EFind}) {
        captions[e->Name] = e->Label;
    }
    for (const CheckListBox* l : {&f.ChLBCont, &f.ChLBTable, &f.ChLBHTML, &f.ChLBRun, &f.ChLBOther}) {
        captions[l->Name] = l->Label;
    }
    captions[f.CBWholeCell.Name] = f.CBWholeCell.Caption;
    for (const RadioGroup* g : {&f.RGSecurity, &f.RGkb, &f.RG1}) captions[g->Name] = g->Caption;
    for (const SpinEdit* s : {&f.CSETochn, &f.SEDefault}) captions[s->Name] = s->Label;
    return captions;
}

bool IsCyrillicLetter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0xC0 || byte == 0xA8 || byte == 0xB8;  // А-я, Ё, ё
}

// Each key's letter stands in its control's caption at its position, and every caption with a Cyrillic
// letter has a key: a renamed caption or a new button shows up here.
TEST(Accelerators, EachLetterStandsInItsCaption) {
    FormControls f;
    const auto captions = ShownCaptions(f);
    for (const AcceleratorKey& key : AcceleratorKeys()) {
        SCOPED_TRACE(std::string(key.Control));
        const auto found = captions.find(std::string(key.Control));
        ASSERT_NE(found, captions.end());
        const std::string& caption = found->second;
        ASSERT_EQ(key.Letter.size(), 1u);
        EXPECT_TRUE(IsCyrillicLetter(key.Letter[0]));
        ASSERT_GE(key.Position, 0);
        ASSERT_LT(static_cast<std::size_t>(key.Position), caption.size());
        EXPECT_EQ(caption[key.Position], key.Letter[0]);
    }
    for (Control* control : f.AllControls()) {
        const auto found = captions.find(control->Name);
        const bool cyrillic =
            found != captions.end() && std::any_of(found->second.begin(), found->second.end(), IsCyrillicLetter);
        EXPECT_EQ(AcceleratorOf(*control) != nullptr, cyrillic) << control->Name;
    }
}

// What is shown together never shares a letter, whatever its case (Ё counts as Е).
TEST(Accelerators, UniqueAmongWhatIsShownTogether) {
    auto check = [](std::string_view where, auto shown) {
        std::map<unsigned char, std::string_view> taken;
        for (const AcceleratorKey& key : AcceleratorKeys()) {
            if (!shown(key.Scope)) continue;
            const unsigned char letter = FoldCp1251(static_cast<unsigned char>(key.Letter[0]));
            const auto [it, fresh] = taken.emplace(letter, key.Control);
            EXPECT_TRUE(fresh) << where << ": " << key.Control << " and " << it->second;
        }
        return taken.size();
    };
    for (const FormPage& page : kPages) {
        check(page.Name, [&](AcceleratorScope scope) { return ScopeShownOn(scope, page.Index); });
    }
    EXPECT_EQ(check("menu", [](AcceleratorScope scope) { return scope == AcceleratorScope::kLimitsMenu; }), 4u);
    // The navigation buttons are shown on every page, so each of them has one.
    FormControls f;
    for (const Button* button : f.NavigationButtons()) {
        const AcceleratorKey* key = AcceleratorOf(*button);
        ASSERT_NE(key, nullptr) << button->Name;
        EXPECT_EQ(key->Scope, AcceleratorScope::kNavigation);
    }
}

TEST(Accelerators, CaptionMarkedForTheWindows) {
    FormControls f;
    struct Case {
        const Control& control;
        std::string_view caption;
        std::string_view expected;
    };
    const Case cases[] = {
        {f.SBSave, "Сохранить ..."_cp, "Со&хранить ..."_cp},
        {f.SpeedButton3, "Просмотр"_cp, "&Просмотр"_cp},
        {f.CSETochn, "Точность:"_cp, "То&чность:"_cp},
        {f.SBSave, "A & B"_cp, "A && B"_cp},                  // the letter is not where the key says
        {f.SBEditPathHTML, "...", "..."},                     // no key
        {f.STtoSite, "http://a.b/?x&y", "http://a.b/?x&&y"},  // no key, "&" shown as it reads
        {f.SBSave, "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(AcceleratedCaption(c.control, c.caption), c.expected) << c.control.Name;
}

}  // namespace
}  // namespace tarnwell
