// What the window asks before it does what cannot be undone or drops the user's edits. Only the user's
// own clicks and closing ask; a switch run and autorun call the jobs themselves and are never asked.

#include "app/tf_send.h"
#include "mail/mail_jobs.h"
#include "text/cp1251_literal.h"
#include "text/int_text.h"

namespace tarnwell {

using namespace literals;

bool TFSend::Confirm(std::string_view question) {
    return host_.Ask(question, Choices::YesNo) == Answer::Yes;
}

bool TFSend::LimitsEdited() const {
    return c_.ASGLimit.Revision() != limits_read_revision_;
}

bool TFSend::MayDropLimitsEdits(bool leaving_page) {
    if (!LimitsEdited() || (leaving_page && c_.PC1.ActivePageIndex() != kLimitsPage)) return true;
    switch (host_.Ask("Изменения в таблице лимитов не сохранены. Сохранить их и перезапустить службу WinGate?"_cp,
                      Choices::SaveDiscardCancel)) {
        case Answer::Save:
            // A save that stopped after its own message leaves the user where he was.
            return SBSaveLimClick();
        case Answer::Discard:
            MarkLimitsUnedited();
            return true;
        default:
            return false;
    }
}

void TFSend::SBSaveLimAsked() {
    if (Confirm("Сохранить изменения и перезапустить службу WinGate?"_cp)) SBSaveLimClick();
}

void TFSend::SBSendAsked() {
    const int letters = PersonalLetterCount(c_.ASGRead);
    if (letters > 0 &&
        !Confirm(std::string("Разослать письма отмеченным пользователям? Писем: "_cp) + IntToStr(letters))) {
        return;
    }
    SBSendClick();
}

}  // namespace tarnwell
