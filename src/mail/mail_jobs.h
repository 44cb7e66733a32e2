#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "grid/table_grid.h"
#include "mail/mail_dispatcher.h"
#include "text/load_progress.h"

namespace tarnwell {

// The personal letters: one message to each user row of the statistics table whose send box is ticked
// (the totals row and the login "<system>" never), over one session, with the lines chosen in ChLBCont
// and the date of `now` (local time, taken once for the whole run). The progress runs over the rows (the
// window's gauge). A letter that is not sent (refused by the server, or to a login that is empty or blanks
// only) is listed in the account and the run goes on; a failure of the session, from its opening to its
// QUIT, ends the run there. The account tells what became of every letter; nothing is raised.
MailRunAccount SendPersonalLetters(MailDispatcher& mail, const TTableGrid& grid, const std::tm& now,
                                   LoadProgress& progress);

// How many letters SendPersonalLetters would try: the ticked user rows (blank logins included, which it
// lists as not sent). What the window asks about before a mailing.
int PersonalLetterCount(const TTableGrid& grid);

// The table mailing: the page lines that `write_page` makes (the HTML report) as one message of type
// html to the address in ESGToUser, over a session of its own; the account of that one letter. When
// making the page fails, the session is ended and the account's failure is that error.
MailRunAccount MailTablePage(MailDispatcher& mail, const std::function<std::vector<std::string>()>& write_page);

}  // namespace tarnwell
